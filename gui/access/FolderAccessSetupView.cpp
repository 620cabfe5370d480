#include "gui/access/FolderAccessSetupView.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/access/FolderAccessSetupModel.h"
#include "gui/style/AppStyle.h"
#include "gui/style/MiddleElidedLabel.h"
#include "gui/style/QtSymbolIcons.h"
#include "shared/text/Translation.h"

namespace quillet {

using namespace appstyle;

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

constexpr int kHeaderSymbolSize = 22;
constexpr int kCellSymbolSize = 14;
constexpr int kForgetSymbolSize = 14;

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, colour);
    widget->setPalette(pal);
}

}  // namespace

FolderAccessSetupView::FolderAccessSetupView(FolderAccessSetupModel& model, QWidget* parent)
    : QFrame(parent), model_(model) {
    setObjectName(QStringLiteral("folderAccessCard"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    column->setSpacing(12);

    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    symbol_ = new QLabel(this);
    symbol_->setFixedWidth(28);
    symbol_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    header->addWidget(symbol_, 0, Qt::AlignTop);

    auto* titles = new QVBoxLayout;
    titles->setSpacing(6);
    auto* title = new QLabel(QString::fromUtf8(translate(FolderAccessSetupModel::kTitle)), this);
    title->setObjectName(QStringLiteral("title"));
    title->setFont(headlineFont());
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setFont(calloutFont(QFont::Normal));
    // A longer sentence (another language's) wraps within the card rather than widen the window.
    summary_->setWordWrap(true);
    titles->addWidget(title);
    titles->addWidget(summary_);
    titles->addStretch(1);
    // The titles take the free width, so the gap before the buttons is the 12 of the row at least.
    header->addLayout(titles, 1);

    auto* actions = new QVBoxLayout;
    actions->setSpacing(8);
    for (const auto& button : model_.buttons()) {
        auto* push = new QPushButton(QString::fromUtf8(translate(button.title.c_str())), this);
        push->setAutoDefault(false);
        const auto action = button.action;
        connect(push, &QPushButton::clicked, this, [this, action] { model_.perform(action); });
        actions->addWidget(push, 0, Qt::AlignRight);
        buttons_.push_back(push);
    }
    header->addLayout(actions);
    column->addLayout(header);

    grid_ = new QWidget(this);
    grid_->setObjectName(QStringLiteral("folderGrid"));
    gridLayout_ = new QGridLayout(grid_);
    gridLayout_->setContentsMargins(0, 0, 0, 0);
    gridLayout_->setSpacing(8);
    for (int c = 0; c < kColumns; ++c) {
        gridLayout_->setColumnMinimumWidth(c, kMinimumColumnWidth);
        gridLayout_->setColumnStretch(c, 1);
    }
    column->addWidget(grid_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("statusMessage"));
    status_->setFont(captionFont(QFont::Normal));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(status_);

    applyPalette();
    render();
    subscription_ = model_.state.subscribe([this](const auto&) { render(); });
}

FolderAccessSetupView::~FolderAccessSetupView() = default;

std::vector<QToolButton*> FolderAccessSetupView::forgetButtons() const {
    std::vector<QToolButton*> found;
    for (int i = 0; i < gridLayout_->count(); ++i)
        if (auto* cell = gridLayout_->itemAt(i)->widget())
            if (auto* button = cell->findChild<QToolButton*>(QStringLiteral("forgetAccessButton")))
                found.push_back(button);
    return found;
}

void FolderAccessSetupView::render() {
    summary_->setText(qs(model_.summary()));
    if (model_.state->authorizedFolders != shownRoots_) rebuildGrid();
    grid_->setVisible(model_.showsGrid());
    const auto& message = model_.state->statusMessage;
    status_->setText(message ? qs(*message) : QString());
    status_->setVisible(message.has_value());
}

void FolderAccessSetupView::rebuildGrid() {
    // The clicked forget button may be among the cells, so old cells go once control returns.
    while (QLayoutItem* item = gridLayout_->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->setParent(nullptr);
            widget->deleteLater();
        }
        delete item;
    }
    shownRoots_ = model_.state->authorizedFolders;
    const QPalette pal = palette();
    int index = 0;
    for (const auto& cell : model_.cells()) {
        auto* box = new QWidget(grid_);
        box->setObjectName(QStringLiteral("folderCell"));
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(4, 4, 4, 4);
        row->setSpacing(5);

        auto* icon = new QLabel(box);
        icon->setObjectName(QStringLiteral("folderSymbol"));
        icon->setProperty("symbolName", qs(cell.symbolName));
        icon->setPixmap(drawnSymbolIcon(cell.symbolName, secondaryText(pal))
                            .pixmap(QSize(kCellSymbolSize, kCellSymbolSize), devicePixelRatioF()));
        row->addWidget(icon);

        auto* name = new MiddleElidedLabel(box);
        name->setObjectName(QStringLiteral("folderName"));
        name->setFont(captionFont(QFont::Normal));
        name->setFullText(qs(cell.displayName));
        name->setToolTip(QString::fromStdString(cell.root.string()));
        setTextColour(name, secondaryText(pal));
        row->addWidget(name, 0);

        auto* forget = new QToolButton(box);
        forget->setObjectName(QStringLiteral("forgetAccessButton"));
        forget->setAutoRaise(true);
        forget->setCursor(Qt::PointingHandCursor);
        forget->setToolTip(QString::fromUtf8(translate(FolderAccessSetupModel::kForgetAccessHelp)));
        forget->setAccessibleName(
            qs(translate(FolderAccessSetupModel::kForgetAccessHelp) + std::string(" ") + cell.displayName));
        forget->setIcon(drawnSymbolIcon(FolderAccessSetupModel::kForgetAccessSymbolName, tertiaryText(pal)));
        forget->setIconSize(QSize(kForgetSymbolSize, kForgetSymbolSize));
        forget->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 1px; }"));
        const auto root = cell.root;
        connect(forget, &QToolButton::clicked, this, [this, root] { model_.forgetAccess(root); });
        row->addWidget(forget);
        row->addStretch(1);

        gridLayout_->addWidget(box, index / kColumns, index % kColumns, Qt::AlignLeft | Qt::AlignVCenter);
        ++index;
    }
}

void FolderAccessSetupView::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    model_.reload();
}

void FolderAccessSetupView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    // A faint wash of the text colour: the same quiet fill on light and dark windows.
    p.setBrush(withAlpha(palette().color(QPalette::WindowText), 0.06));
    p.drawRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
}

void FolderAccessSetupView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange && summary_) {
        applyPalette();
        shownRoots_.clear();  // redraw the cells' symbols in the new colours
        render();
    }
    QFrame::changeEvent(event);
}

void FolderAccessSetupView::applyPalette() {
    const QPalette pal = palette();
    symbol_->setPixmap(drawnSymbolIcon(FolderAccessSetupModel::kSymbolName, accent(pal))
                           .pixmap(QSize(kHeaderSymbolSize, kHeaderSymbolSize), devicePixelRatioF()));
    setTextColour(summary_, secondaryText(pal));
    setTextColour(status_, secondaryText(pal));
}

}  // namespace quillet
