#include "gui/quickcreate/QuickCreatePanelView.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/quickcreate/FileTypeTileButton.h"
#include "gui/quickcreate/QuickCreatePanelStyle.h"
#include "gui/style/AppStyle.h"
#include "gui/style/DestinationPickerControl.h"
#include "gui/style/MiddleElidedLabel.h"
#include "gui/style/QtSymbolIcons.h"
#include "shared/text/Translation.h"

namespace quillet {

using namespace appstyle;

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QPixmap symbolPixmap(const QWidget* widget, const char* symbol, const QColor& color, int side) {
    return symbolIcon(symbol, color).pixmap(QSize(side, side), widget->devicePixelRatioF());
}

// The rounded search row: its border turns into a 2 pixel accent ring while the field has focus.
class SearchFieldRow final : public QWidget {
public:
    SearchFieldRow(QLineEdit*& field, QLabel*& icon, QWidget* parent) : QWidget(parent) {
        setFixedHeight(34);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(10, 0, 10, 0);
        layout->setSpacing(8);
        icon = new QLabel(this);
        icon->setFixedWidth(14);
        icon->setAlignment(Qt::AlignCenter);
        field = new QLineEdit(this);
        field->setFrame(false);
        field->setPlaceholderText(QString::fromUtf8(translate(QuickCreatePanelModel::kSearchPlaceholder)));
        field->setFont(calloutFont(QFont::Normal));
        field->setAttribute(Qt::WA_MacShowFocusRect, false);
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        field->setPalette(palette);
        field->installEventFilter(this);
        layout->addWidget(icon);
        layout->addWidget(field, 1);
        field_ = field;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == field_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) update();
        return false;
    }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const bool focused = field_->hasFocus();
        const double width = focused ? 2.0 : 1.0;
        const QRectF shape = QRectF(rect()).adjusted(width / 2, width / 2, -width / 2, -width / 2);
        p.setBrush(withAlpha(palette().color(QPalette::Base), 0.72));
        p.setPen(QPen(focused ? accent(palette()) : separator(palette()), width));
        p.drawRoundedRect(shape, 8, 8);
    }

private:
    QLineEdit* field_ = nullptr;
};

// A one pixel line in the separator colour.
class Divider final : public QWidget {
public:
    explicit Divider(QWidget* parent) : QWidget(parent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), separator(palette())); }
};

// The footer's bar: a slightly deeper shade than the panel, with a divider along its top edge.
class FooterBar final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QColor window = palette().color(QPalette::Window);
        p.fillRect(rect(), window.lightness() > 128 ? window.darker(104) : window.lighter(115));
        p.fillRect(QRect(0, 0, width(), 1), separator(palette()));
    }
};

}  // namespace

QuickCreatePanelView::QuickCreatePanelView(QuickCreatePanelModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);

    // Header: title row and search field.
    auto* header = new QWidget(this);
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(18, 18, 18, 14);
    headerLayout->setSpacing(14);
    auto* titleRow = new QHBoxLayout();
    titleRow->setSpacing(12);
    auto* titleGroup = new QHBoxLayout();
    titleGroup->setSpacing(6);
    titleIcon_ = new QLabel(header);
    titleLabel_ = new QLabel(QString::fromUtf8(translate(QuickCreatePanelModel::kTitle)), header);
    titleLabel_->setFont(headlineFont());
    titleGroup->addWidget(titleIcon_);
    titleGroup->addWidget(titleLabel_);
    titleRow->addLayout(titleGroup);
    titleRow->addStretch(1);
    picker_ = new DestinationPickerControl(model_.words(), header);
    titleRow->addWidget(picker_);
    headerLayout->addLayout(titleRow);
    searchRow_ = new SearchFieldRow(searchField_, searchIcon_, header);
    headerLayout->addWidget(searchRow_);
    stack->addWidget(header);

    stack->addWidget(new Divider(this));

    // The grid of types, or the empty state.
    scrollArea_ = new QScrollArea(this);
    scrollArea_->setFrameShape(QFrame::NoFrame);
    scrollArea_->setWidgetResizable(true);
    scrollArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea_->setFocusPolicy(Qt::NoFocus);  // the arrows move through the grid from the search field
    scrollArea_->viewport()->setAutoFillBackground(false);
    gridContent_ = new QWidget();
    gridContent_->setAutoFillBackground(false);
    gridLayout_ = new QVBoxLayout(gridContent_);
    gridLayout_->setContentsMargins(18, 16, 18, 18);
    gridLayout_->setSpacing(16);
    gridLayout_->setAlignment(Qt::AlignTop);

    emptyState_ = new QWidget(gridContent_);
    emptyState_->setObjectName(QStringLiteral("emptyState"));
    emptyState_->setMinimumHeight(220);
    auto* emptyLayout = new QVBoxLayout(emptyState_);
    emptyLayout->setSpacing(8);
    emptyLayout->addStretch(1);
    auto* emptyIcon = new QLabel(emptyState_);
    emptyIcon->setObjectName(QStringLiteral("emptyStateIcon"));
    emptyIcon->setAlignment(Qt::AlignCenter);
    auto* emptyText = new QLabel(QString::fromUtf8(translate(QuickCreatePanelModel::kEmptyStateText)), emptyState_);
    emptyText->setObjectName(QStringLiteral("emptyStateText"));
    emptyText->setAlignment(Qt::AlignCenter);
    emptyText->setFont(calloutFont(QFont::Medium));
    emptyLayout->addWidget(emptyIcon);
    emptyLayout->addWidget(emptyText);
    emptyLayout->addStretch(1);
    gridLayout_->addWidget(emptyState_);
    scrollArea_->setWidget(gridContent_);
    stack->addWidget(scrollArea_, 1);

    // Footer: where files go.
    footer_ = new FooterBar(this);
    auto* footerLayout = new QHBoxLayout(footer_);
    footerLayout->setContentsMargins(18, 8, 18, 8);
    footerLayout->setSpacing(10);
    footerIcon_ = new QLabel(footer_);
    footerIcon_->setFixedWidth(18);
    footerIcon_->setAlignment(Qt::AlignCenter);
    auto* footerLines = new QVBoxLayout();
    footerLines->setSpacing(1);
    footerTitle_ = new MiddleElidedLabel(footer_);
    footerTitle_->setObjectName(QStringLiteral("footerTitle"));
    footerTitle_->setFont(captionFont(QFont::Medium));
    footerDetail_ = new MiddleElidedLabel(footer_);
    footerDetail_->setObjectName(QStringLiteral("footerDetail"));
    footerDetail_->setFont(panelstyle::caption2Font());
    footerLines->addWidget(footerTitle_);
    footerLines->addWidget(footerDetail_);
    footerLayout->addWidget(footerIcon_);
    footerLayout->addLayout(footerLines, 1);
    stack->addWidget(footer_);

    searchField_->installEventFilter(this);
    connect(searchField_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.setSearchText(text.toStdString()); });
    connect(picker_, &DestinationPickerControl::modeChosen, this,
            [this](CreationDestinationMode mode) { model_.setDestinationMode(mode); });
    modelChanges_ = model_.observe([this] { render(); });

    applyPalette();
    render();
}

QuickCreatePanelView::~QuickCreatePanelView() = default;

void QuickCreatePanelView::focusSearchField() {
    searchField_->setFocus(Qt::OtherFocusReason);
}

void QuickCreatePanelView::render() {
    const QString search = qs(model_.searchText());
    if (searchField_->text() != search) searchField_->setText(search);
    picker_->setMode(model_.destinationMode());
    rebuildGrid();
    showSelection();
    updateFooter();
}

void QuickCreatePanelView::showSelection() {
    const auto selected = model_.selectedType();
    for (auto* tile : tiles()) tile->setSelected(selected && tile->type().id == selected->id);
    // Scrolled into view once a grid just built has been shown and laid out.
    QTimer::singleShot(0, this, [this] {
        for (auto* tile : tiles())
            if (tile->isSelected()) scrollArea_->ensureWidgetVisible(tile, 0, 16);
    });
}

bool QuickCreatePanelView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != searchField_ || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    switch (key->key()) {
        case Qt::Key_Left: model_.moveSelection(QuickCreatePanelModel::Move::left); return true;
        case Qt::Key_Right: model_.moveSelection(QuickCreatePanelModel::Move::right); return true;
        case Qt::Key_Up: model_.moveSelection(QuickCreatePanelModel::Move::up); return true;
        case Qt::Key_Down: model_.moveSelection(QuickCreatePanelModel::Move::down); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            model_.createSelected();
            return true;
        default: return false;
    }
}

void QuickCreatePanelView::rebuildGrid() {
    std::vector<QuickCreatePanelModel::Section> sections = model_.sections();
    if (gridBuilt_ && sections == shownSections_) return;
    gridBuilt_ = true;
    shownSections_ = sections;

    // Old sections leave at once (tests and accessibility see only what is shown); deletion
    // waits, as a click handler of one of their tiles may still be running.
    while (gridLayout_->count() > 1) {
        QLayoutItem* item = gridLayout_->takeAt(1);
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->setParent(nullptr);
            widget->deleteLater();
        }
        delete item;
    }
    emptyState_->setVisible(sections.empty());

    for (const auto& section : sections) {
        auto* sectionWidget = new QWidget(gridContent_);
        sectionWidget->setObjectName(QStringLiteral("section"));
        auto* column = new QVBoxLayout(sectionWidget);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(8);
        auto* heading = new QLabel(qs(section.heading), sectionWidget);
        heading->setObjectName(QStringLiteral("sectionHeading"));
        heading->setFont(captionFont(QFont::DemiBold));
        setTextColor(heading, secondaryText(palette()));
        column->addWidget(heading);
        auto* grid = new QGridLayout();
        grid->setHorizontalSpacing(12);
        grid->setVerticalSpacing(10);
        constexpr int columns = QuickCreatePanelModel::kColumns;
        for (int c = 0; c < columns; ++c) {
            grid->setColumnStretch(c, 1);
            grid->setColumnMinimumWidth(c, FileTypeTileButton::kMinimumWidth);
        }
        int index = 0;
        for (const auto& type : section.types) {
            auto* tile = new FileTypeTileButton(type, [this, type] { model_.createFile(type); }, sectionWidget);
            grid->addWidget(tile, index / columns, index % columns);
            ++index;
        }
        column->addLayout(grid);
        gridLayout_->addWidget(sectionWidget);
    }
}

void QuickCreatePanelView::updateFooter() {
    const QuickCreatePanelModel::Footer footer = model_.footer();
    footerIcon_->setPixmap(symbolPixmap(this, footer.symbolName.c_str(), secondaryText(palette()), 16));
    footerTitle_->setFullText(qs(footer.title));
    setTextColor(footerTitle_, footer.titleIsStatus ? palette().color(QPalette::WindowText) : secondaryText(palette()));
    footerDetail_->setFullText(qs(footer.detail));
    setTextColor(footerDetail_, tertiaryText(palette()));
}

void QuickCreatePanelView::applyPalette() {
    const QPalette& pal = palette();
    titleIcon_->setPixmap(symbolPixmap(this, QuickCreatePanelModel::kTitleSymbol, pal.color(QPalette::WindowText), 18));
    searchIcon_->setPixmap(symbolPixmap(this, QuickCreatePanelModel::kSearchSymbol, secondaryText(pal), 14));
    if (auto* icon = emptyState_->findChild<QLabel*>(QStringLiteral("emptyStateIcon")))
        icon->setPixmap(symbolPixmap(this, QuickCreatePanelModel::kEmptyStateSymbol, secondaryText(pal), 30));
    if (auto* text = emptyState_->findChild<QLabel*>(QStringLiteral("emptyStateText")))
        setTextColor(text, secondaryText(pal));
    for (auto* heading : gridContent_->findChildren<QLabel*>(QStringLiteral("sectionHeading")))
        setTextColor(heading, secondaryText(pal));
}

void QuickCreatePanelView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange && titleIcon_) {
        applyPalette();
        updateFooter();
    }
    QWidget::changeEvent(event);
}

void QuickCreatePanelView::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), palette().color(QPalette::Window));
}

std::vector<FileTypeTileButton*> QuickCreatePanelView::tiles() const {
    std::vector<FileTypeTileButton*> result;
    for (int i = 1; i < gridLayout_->count(); ++i)
        if (QWidget* section = gridLayout_->itemAt(i)->widget())
            for (auto* tile : section->findChildren<FileTypeTileButton*>()) result.push_back(tile);
    return result;
}

}  // namespace quillet
