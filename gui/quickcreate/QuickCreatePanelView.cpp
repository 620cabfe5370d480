#include "gui/quickcreate/QuickCreatePanelView.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "gui/quickcreate/QtSymbolIcons.h"

namespace quillet {

namespace panelcolors {

QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(static_cast<float>(color.alphaF() * alpha));
    return color;
}

namespace {
QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - t) + b.redF() * t),
                            static_cast<float>(a.greenF() * (1 - t) + b.greenF() * t),
                            static_cast<float>(a.blueF() * (1 - t) + b.blueF() * t));
}
}  // namespace

QColor accent(const QPalette& palette) { return palette.color(QPalette::Active, QPalette::Highlight); }
QColor separator(const QPalette& palette) { return palette.color(QPalette::Mid); }
// Some styles give placeholder text the full text colour; a mix with the background keeps the
// secondary and tertiary levels apart everywhere.
QColor secondaryText(const QPalette& palette) {
    return mix(palette.color(QPalette::WindowText), palette.color(QPalette::Window), 0.42);
}
QColor tertiaryText(const QPalette& palette) {
    return mix(palette.color(QPalette::WindowText), palette.color(QPalette::Window), 0.6);
}

}  // namespace panelcolors

using namespace panelcolors;

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

QFont panelFont(double pixelSize, QFont::Weight weight) {
    QFont font = QApplication::font();
    font.setPixelSize(static_cast<int>(pixelSize + 0.5));
    font.setWeight(weight);
    return font;
}

// The type scale of the panel, in logical pixels.
QFont headlineFont() { return panelFont(14, QFont::DemiBold); }
QFont calloutFont(QFont::Weight weight) { return panelFont(13, weight); }
QFont captionFont(QFont::Weight weight) { return panelFont(11, weight); }
QFont caption2Font() { return panelFont(10.5, QFont::Normal); }

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QPixmap symbolPixmap(const QWidget* widget, const char* symbol, const QColor& color, int side) {
    return symbolIcon(symbol, color).pixmap(QSize(side, side), widget->devicePixelRatioF());
}

// Draws `text` on one line at `font` (sized in pixels), first shrinking it down to 82 percent,
// then eliding.
void drawFittedText(QPainter& p, const QRect& rect, const QString& text, const QFont& font) {
    const int base = font.pixelSize();
    QFont trial = font;
    for (int size = base; size >= static_cast<int>(base * 0.82 + 0.5); --size) {
        trial.setPixelSize(size);
        if (QFontMetrics(trial).horizontalAdvance(text) <= rect.width()) {
            p.setFont(trial);
            p.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, text);
            return;
        }
    }
    p.setFont(trial);
    p.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(trial).elidedText(text, Qt::ElideRight, rect.width()));
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
        field->setPlaceholderText(QString::fromUtf8(QuickCreatePanelModel::kSearchPlaceholder));
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

// ---- FileTypeTileButton

FileTypeTileButton::FileTypeTileButton(FileTypeDefinition type, std::function<void()> action, QWidget* parent)
    : QAbstractButton(parent), type_(std::move(type)), action_(std::move(action)) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);  // tiles are clicked, never keyed
    setAttribute(Qt::WA_Hover);
    setToolTip(qs(type_.displayName + " (." + type_.fileExtension + ")"));
    setAccessibleName(qs(type_.displayName));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (action_) action_();
    });
}

QSize FileTypeTileButton::sizeHint() const { return {kMinimumWidth, kMinimumHeight}; }
QSize FileTypeTileButton::minimumSizeHint() const { return {kMinimumWidth, kMinimumHeight}; }

void FileTypeTileButton::enterEvent(QEnterEvent* event) {
    isHovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void FileTypeTileButton::leaveEvent(QEvent* event) {
    isHovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void FileTypeTileButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) icon_ = QIcon();
    QAbstractButton::changeEvent(event);
}

void FileTypeTileButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QColor tint = accent(pal);

    const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setBrush(isHovered_ ? withAlpha(tint, isDown() ? 0.18 : 0.10) : withAlpha(pal.color(QPalette::Button), 0.78));
    p.setPen(QPen(isHovered_ ? withAlpha(tint, 0.42) : withAlpha(separator(pal), 0.45), 1));
    p.drawRoundedRect(shape, 8, 8);

    // Icon: 28 point box, accent at 12 percent, the symbol in the tint colour.
    const QRect box(10, (height() - 28) / 2, 28, 28);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(tint, 0.12));
    p.drawRoundedRect(QRectF(box), 6, 6);
    if (icon_.isNull()) icon_ = symbolIcon(type_.sfSymbolName, tint);
    const QRect iconRect(box.center().x() - 8 + 1, box.center().y() - 8 + 1, 16, 16);
    icon_.paint(&p, iconRect);

    // Texts: the name, then ".extension", 1 apart, centred together.
    const int textLeft = box.right() + 1 + 10;
    const QRect textArea(textLeft, 0, width() - textLeft - 10, height());
    const QFont nameFont = calloutFont(QFont::Medium);
    const QFont extensionFont = panelFont(11, QFont::Normal);
    const int nameHeight = QFontMetrics(nameFont).height();
    const int extensionHeight = QFontMetrics(extensionFont).height();
    const int top = (height() - nameHeight - 1 - extensionHeight) / 2;
    p.setPen(pal.color(QPalette::WindowText));
    drawFittedText(p, QRect(textArea.left(), top, textArea.width(), nameHeight), qs(type_.displayName), nameFont);
    p.setPen(secondaryText(pal));
    drawFittedText(p, QRect(textArea.left(), top + nameHeight + 1, textArea.width(), extensionHeight),
                   qs("." + type_.fileExtension), extensionFont);
}

// ---- MiddleElidedLabel

void MiddleElidedLabel::setFullText(const QString& text) {
    fullText_ = text;
    setText(text);
    setToolTip(text);
    update();
}

QSize MiddleElidedLabel::minimumSizeHint() const { return {10, QLabel::minimumSizeHint().height()}; }

void MiddleElidedLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    const QRect area = contentsRect();
    p.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(fullText_, Qt::ElideMiddle, area.width()));
}

// ---- DestinationPickerControl

DestinationPickerControl::DestinationPickerControl(QWidget* parent) : QWidget(parent) {
    setFixedSize(kWidth, 26);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Destination"));
}

QSize DestinationPickerControl::sizeHint() const { return {kWidth, 26}; }

void DestinationPickerControl::setMode(CreationDestinationMode mode) {
    if (mode == mode_) return;
    mode_ = mode;
    update();
}

QRect DestinationPickerControl::segmentRect(size_t index) const {
    const int half = width() / 2;
    return index == 0 ? QRect(0, 0, half, height()) : QRect(half, 0, width() - half, height());
}

QPoint DestinationPickerControl::segmentCenter(CreationDestinationMode mode) const {
    const auto& choices = QuickCreatePanelModel::destinationChoices();
    for (size_t i = 0; i < choices.size(); ++i)
        if (choices[i].mode == mode) return segmentRect(i).center();
    return rect().center();
}

void DestinationPickerControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QRectF outer = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(separator(pal), 1));
    p.setBrush(withAlpha(pal.color(QPalette::Button), 0.9));
    p.drawRoundedRect(outer, 7, 7);

    const auto& choices = QuickCreatePanelModel::destinationChoices();
    const QFont font = panelFont(12.5, QFont::Medium);
    for (size_t i = 0; i < choices.size(); ++i) {
        const QRect segment = segmentRect(i);
        const bool chosen = choices[i].mode == mode_;
        if (chosen) {
            p.setPen(Qt::NoPen);
            p.setBrush(accent(pal));
            p.drawRoundedRect(QRectF(segment).adjusted(2, 2, -2, -2), 5, 5);
        } else if (i > 0 && choices[i - 1].mode != mode_) {
            p.setPen(separator(pal));
            p.drawLine(QPointF(segment.left() + 0.5, 5), QPointF(segment.left() + 0.5, height() - 5));
        }
        const QColor textColor = chosen ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::ButtonText);
        const QString title = QString::fromUtf8(choices[i].title);
        const QFontMetrics metrics(font);
        const int iconSide = 14;
        const int contentWidth = iconSide + 6 + metrics.horizontalAdvance(title);
        const int left = segment.left() + (segment.width() - contentWidth) / 2;
        symbolIcon(choices[i].symbolName, textColor).paint(&p, QRect(left, (height() - iconSide) / 2, iconSide, iconSide));
        p.setFont(font);
        p.setPen(textColor);
        p.drawText(QRect(left + iconSide + 6, 0, metrics.horizontalAdvance(title) + 2, height()),
                   Qt::AlignLeft | Qt::AlignVCenter, title);
    }
    if (hasFocus()) {
        p.setPen(QPen(accent(pal), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 7, 7);
    }
}

void DestinationPickerControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const auto& choices = QuickCreatePanelModel::destinationChoices();
    for (size_t i = 0; i < choices.size(); ++i) {
        if (segmentRect(i).contains(event->position().toPoint())) {
            setMode(choices[i].mode);
            emit modeChosen(choices[i].mode);
        }
    }
    event->accept();
}

void DestinationPickerControl::keyPressEvent(QKeyEvent* event) {
    const auto& choices = QuickCreatePanelModel::destinationChoices();
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        const auto next = event->key() == Qt::Key_Left ? choices.front().mode : choices.back().mode;
        if (next != mode_) {
            setMode(next);
            emit modeChosen(next);
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---- QuickCreatePanelView

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
    titleLabel_ = new QLabel(QString::fromUtf8(QuickCreatePanelModel::kTitle), header);
    titleLabel_->setFont(headlineFont());
    titleGroup->addWidget(titleIcon_);
    titleGroup->addWidget(titleLabel_);
    titleRow->addLayout(titleGroup);
    titleRow->addStretch(1);
    picker_ = new DestinationPickerControl(header);
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
    auto* emptyText = new QLabel(QString::fromUtf8(QuickCreatePanelModel::kEmptyStateText), emptyState_);
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
    footerTitle_->setFont(captionFont(QFont::Medium));
    footerDetail_ = new MiddleElidedLabel(footer_);
    footerDetail_->setFont(caption2Font());
    footerLines->addWidget(footerTitle_);
    footerLines->addWidget(footerDetail_);
    footerLayout->addWidget(footerIcon_);
    footerLayout->addLayout(footerLines, 1);
    stack->addWidget(footer_);

    connect(searchField_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.setSearchText(text.toStdString()); });
    connect(picker_, &DestinationPickerControl::modeChosen, this,
            [this](CreationDestinationMode mode) { model_.setDestinationMode(mode); });
    model_.observe([this] { render(); });

    applyPalette();
    render();
}

QuickCreatePanelView::~QuickCreatePanelView() { model_.observe(nullptr); }

void QuickCreatePanelView::focusSearchField() {
    searchField_->setFocus(Qt::OtherFocusReason);
}

void QuickCreatePanelView::render() {
    const QString search = qs(model_.searchText());
    if (searchField_->text() != search) searchField_->setText(search);
    picker_->setMode(model_.destinationMode());
    rebuildGrid();
    updateFooter();
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
        for (int c = 0; c < 3; ++c) {
            grid->setColumnStretch(c, 1);
            grid->setColumnMinimumWidth(c, FileTypeTileButton::kMinimumWidth);
        }
        int index = 0;
        for (const auto& type : section.types) {
            auto* tile = new FileTypeTileButton(type, [this, type] { model_.createFile(type); }, sectionWidget);
            grid->addWidget(tile, index / 3, index % 3);
            ++index;
        }
        column->addLayout(grid);
        gridLayout_->addWidget(sectionWidget);
    }
}

void QuickCreatePanelView::updateFooter() {
    const QuickCreatePanelModel::Footer footer = model_.footer();
    footerSymbol_ = qs(footer.symbolName);
    footerTitleIsStatus_ = footer.titleIsStatus;
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

QStringList QuickCreatePanelView::sectionHeadings() const {
    QStringList headings;
    for (int i = 1; i < gridLayout_->count(); ++i)
        if (QWidget* section = gridLayout_->itemAt(i)->widget())
            if (auto* heading = section->findChild<QLabel*>(QStringLiteral("sectionHeading")))
                headings << heading->text();
    return headings;
}

bool QuickCreatePanelView::showsEmptyState() const { return !emptyState_->isHidden(); }
QString QuickCreatePanelView::footerTitle() const { return footerTitle_->fullText(); }
QString QuickCreatePanelView::footerDetail() const { return footerDetail_->fullText(); }

}  // namespace quillet
