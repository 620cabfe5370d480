#include "gui/windows/HelpView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "app/windows/HelpContent.h"
#include "gui/style/AppStyle.h"
#include "gui/windows/WindowStyle.h"
#include "shared/text/DesktopWords.h"
#include "shared/text/Translation.h"

namespace quillet {

using namespace windowstyle;

namespace {

constexpr int kColumnMaxWidth = 760;

QColor tintColor(HelpTint tint, const QPalette& palette) {
    return tint == HelpTint::green ? green(palette) : appstyle::accent(palette);
}

// The section cards and summary tiles: control background, radius 10, a 1 wide outline.
RoundedBox* helpBox(QWidget* parent, double fillAlpha, double borderAlpha) {
    const QPalette& palette = parent->palette();
    return new RoundedBox(appstyle::withAlpha(controlBackground(palette), fillAlpha),
                          appstyle::withAlpha(appstyle::separator(palette), borderAlpha), 10, parent);
}

// Title above detail, 3 apart; the detail wraps.
QVBoxLayout* titleAndDetail(QWidget* parent, const std::string& title, const std::string& detail) {
    auto* column = new QVBoxLayout;
    column->setSpacing(3);
    column->addWidget(textLabel(title, appstyle::headlineFont(), TextStyle::primary, parent));
    column->addWidget(textLabel(detail, appstyle::calloutFont(QFont::Normal), TextStyle::secondary, parent));
    return column;
}

QWidget* cardTile(QWidget* parent, const HelpCard& card) {
    RoundedBox* tile = helpBox(parent, 0.72, 0.45);
    tile->setObjectName(QStringLiteral("helpCard"));
    tile->setMinimumHeight(156);
    tile->setMinimumWidth(240);
    auto* column = new QVBoxLayout(tile);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(4);
    auto* symbol = new SymbolView(card.symbolName, appstyle::accent(tile->palette()), 24, tile, 34);
    symbol->setFixedHeight(34);
    column->addWidget(symbol, 0, Qt::AlignLeft);
    column->addWidget(textLabel(card.title, appstyle::headlineFont(), TextStyle::primary, tile));
    column->addWidget(textLabel(card.detail, appstyle::calloutFont(QFont::Normal), TextStyle::secondary, tile));
    column->addStretch();
    return tile;
}

QLayout* locationRow(QWidget* parent, const HelpLocationRow& row) {
    auto* layout = new QHBoxLayout;
    layout->setSpacing(12);
    layout->addWidget(new SymbolView(row.symbol, tintColor(row.tint, parent->palette()), 18, parent, 24), 0,
                      Qt::AlignTop);
    layout->addLayout(titleAndDetail(parent, row.title, row.detail), 1);
    return layout;
}

// The step's number in white on a 22 wide accent circle.
class StepNumber : public QWidget {
public:
    StepNumber(int number, QWidget* parent) : QWidget(parent), number_(number) { setFixedSize(22, 22); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(appstyle::accent(palette()));
        painter.drawEllipse(rect());
        painter.setPen(Qt::white);
        painter.setFont(appstyle::captionFont(QFont::Bold));
        painter.drawText(rect(), Qt::AlignCenter, QString::number(number_));
    }

private:
    int number_;
};

QLayout* stepList(QWidget* parent, const std::vector<HelpStep>& steps) {
    auto* list = new QVBoxLayout;
    list->setSpacing(8);
    for (const HelpStep& step : steps) {
        auto* row = new QHBoxLayout;
        row->setSpacing(12);
        row->addWidget(new StepNumber(step.number, parent), 0, Qt::AlignTop);
        row->addLayout(titleAndDetail(parent, step.title, step.detail), 1);
        list->addLayout(row);
    }
    return list;
}

QLayout* fileTypeGroups(QWidget* parent, const std::vector<HelpFileTypeGroup>& groups) {
    auto* list = new QVBoxLayout;
    list->setSpacing(12);
    const QColor secondary = appstyle::secondaryText(parent->palette());
    for (const HelpFileTypeGroup& group : groups) {
        auto* column = new QVBoxLayout;
        column->setSpacing(8);
        column->addWidget(textLabel(group.title, appstyle::headlineFont(), TextStyle::primary, parent));
        auto* grid = new QGridLayout;
        grid->setHorizontalSpacing(8);
        grid->setVerticalSpacing(8);
        for (int c = 0; c < 3; ++c) {
            grid->setColumnStretch(c, 1);
            grid->setColumnMinimumWidth(c, 150);
        }
        for (size_t i = 0; i < group.items.size(); ++i) {
            auto* item = new QHBoxLayout;
            item->setSpacing(6);
            item->addWidget(new SymbolView("doc", secondary, 14, parent));
            QLabel* text = textLabel(group.items[i], appstyle::calloutFont(QFont::Normal), TextStyle::secondary, parent);
            text->setObjectName(QStringLiteral("fileTypeItem"));
            item->addWidget(text, 1);
            grid->addLayout(item, static_cast<int>(i / 3), static_cast<int>(i % 3));
        }
        column->addLayout(grid);
        list->addLayout(column);
    }
    return list;
}

QWidget* divider(QWidget* parent) {
    auto* line = new RoundedBox(appstyle::separator(parent->palette()), QColor(), 0, parent);
    line->setFixedHeight(1);
    return line;
}

QWidget* sectionCard(QWidget* parent, const HelpSection& section) {
    RoundedBox* card = helpBox(parent, 1.0, 1.0);
    card->setObjectName(QStringLiteral("helpSection"));
    card->setProperty("sectionTitle", QString::fromStdString(section.title));
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(12);
    auto* heading = new QHBoxLayout;
    heading->setSpacing(8);
    heading->addWidget(new SymbolView(section.symbolName, appstyle::accent(card->palette()), 18, card));
    QLabel* title = textLabel(section.title, appstyle::appFont(16, QFont::DemiBold), TextStyle::primary, card);
    title->setObjectName(QStringLiteral("sectionTitle"));
    heading->addWidget(title, 1);
    column->addLayout(heading);
    for (const HelpBlock& block : section.blocks) {
        switch (block.kind) {
        case HelpBlock::Kind::paragraph:
            column->addWidget(textLabel(block.text, appstyle::calloutFont(QFont::Normal), TextStyle::secondary, card));
            break;
        case HelpBlock::Kind::locationRow: column->addLayout(locationRow(card, block.row)); break;
        case HelpBlock::Kind::divider: column->addWidget(divider(card)); break;
        case HelpBlock::Kind::heading:
            column->addWidget(textLabel(block.text, appstyle::headlineFont(), TextStyle::primary, card));
            break;
        case HelpBlock::Kind::steps: column->addLayout(stepList(card, block.steps)); break;
        case HelpBlock::Kind::fileTypeGroups: column->addLayout(fileTypeGroups(card, block.groups)); break;
        }
    }
    return card;
}

QLayout* header(QWidget* parent, const std::string& versionLine, const HelpContent& help) {
    auto* row = new QHBoxLayout;
    row->setSpacing(14);
    row->addWidget(new SymbolTile(HelpContent::kHeaderSymbol, 58, 14, 32, parent), 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(textLabel(HelpContent::kTitle, largeTitleFont(), TextStyle::primary, parent));
    texts->addWidget(textLabel(help.subtitle, appstyle::calloutFont(QFont::Normal), TextStyle::secondary, parent));
    QLabel* version = textLabel(versionLine, appstyle::captionFont(QFont::Normal), TextStyle::tertiary, parent);
    version->setObjectName(QStringLiteral("versionLine"));
    texts->addWidget(version);
    row->addLayout(texts, 1);
    return row;
}

}  // namespace

HelpView::HelpView(std::string versionLine, const DesktopWords& words, std::string whereTheMenuIs, QWidget* parent)
    : QWidget(parent), scroll_(new QScrollArea(this)) {
    setObjectName(QStringLiteral("help"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll_);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // The page background shows around the column, on which the section cards stand out.
    scroll_->viewport()->setAutoFillBackground(true);
    scroll_->viewport()->setBackgroundRole(QPalette::Window);
    // The column itself is the scrolled widget: the scroll area keeps it at most 760 wide, at the
    // left, and gives it the height its wrapped texts need at that width.
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("helpPage"));
    content->setMaximumWidth(kColumnMaxWidth);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(28, 28, 28, 28);
    column->setSpacing(20);

    const HelpContent help = helpContent(words, whereTheMenuIs);
    column->addLayout(header(content, versionLine, help));
    auto* cards = new QGridLayout;
    cards->setSpacing(14);
    cards->setColumnStretch(0, 1);
    cards->setColumnStretch(1, 1);
    for (size_t i = 0; i < help.cards.size(); ++i) {
        cards->addWidget(cardTile(content, help.cards[i]), static_cast<int>(i / 2), static_cast<int>(i % 2));
    }
    column->addLayout(cards);
    for (const HelpSection& section : help.sections) {
        QWidget* card = sectionCard(content, section);
        if (section.title == words.fill(HelpContent::kExtensionSectionTitle)) extensionSection_ = card;
        column->addWidget(card);
    }
    column->addStretch();
    scroll_->setWidget(content);
    setMinimumSize(560, 420);
    resize(720, 640);
}

void HelpView::scrollToExtensionSection() {
    scrollPending_ = true;
    if (isVisible()) applyPendingScroll();
}

void HelpView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Laid out only now; scroll once the layout has settled.
    if (scrollPending_) QTimer::singleShot(0, this, [this] { applyPendingScroll(); });
}

void HelpView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (scrollPending_ && isVisible()) applyPendingScroll();
}

void HelpView::applyPendingScroll() {
    if (!extensionSection_) return;
    if (QLayout* layout = scroll_->widget()->layout()) layout->activate();
    const int top = extensionSection_->mapTo(scroll_->widget(), QPoint(0, 0)).y();
    scroll_->verticalScrollBar()->setValue(std::max(0, top - kScrollTargetMargin));
    scrollPending_ = false;
}

}  // namespace quillet
