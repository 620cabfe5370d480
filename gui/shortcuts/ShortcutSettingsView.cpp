#include "gui/shortcuts/ShortcutSettingsView.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/shortcuts/DirectFileShortcutRow.h"
#include "gui/shortcuts/ShortcutRecorderView.h"
#include "gui/shortcuts/ShortcutStyle.h"
#include "gui/style/AppStyle.h"
#include "gui/style/DestinationPickerControl.h"
#include "gui/style/QtSymbolIcons.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

constexpr int kQuickCreateRecorderWidth = 230;
constexpr int kDestinationPickerWidth = 240;
constexpr int kRowDividerIndent = 34;

// A one pixel line in the separator colour, starting `indent` from the leading edge.
class Divider final : public QWidget {
public:
    explicit Divider(int indent, QWidget* parent) : QWidget(parent), indent_(indent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRect(indent_, 0, width() - indent_, 1), appstyle::separator(palette()));
    }

private:
    int indent_;
};

// The section's header: a chevron that turns down when open, the bolt and the title.
class DisclosureButton final : public QAbstractButton {
public:
    explicit DisclosureButton(QWidget* parent) : QAbstractButton(parent) {
        setCheckable(true);
        setFocusPolicy(Qt::TabFocus);
        setCursor(Qt::PointingHandCursor);
        setText(QString::fromUtf8(translate(ShortcutSettingsModel::kDirectSectionTitle)));
        setAccessibleName(text());
        setFont(appstyle::headlineFont());
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override {
        return {kTextLeft + QFontMetrics(font()).horizontalAdvance(text()) + 4, 24};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QPalette& pal = palette();
        const double mid = height() / 2.0;
        QPen chevron(appstyle::secondaryText(pal), 1.8);
        chevron.setCapStyle(Qt::RoundCap);
        chevron.setJoinStyle(Qt::RoundJoin);
        p.setPen(chevron);
        if (isChecked())
            p.drawPolyline(QPolygonF({{2.5, mid - 2}, {6, mid + 1.5}, {9.5, mid - 2}}));
        else
            p.drawPolyline(QPolygonF({{4, mid - 3.5}, {7.5, mid}, {4, mid + 3.5}}));
        symbolIcon(ShortcutSettingsModel::kDirectSectionSymbol, pal.color(QPalette::WindowText))
            .paint(&p, QRect(kIconLeft, static_cast<int>(mid) - 8, 16, 16));
        p.setPen(pal.color(QPalette::WindowText));
        p.setFont(font());
        p.drawText(QRect(kTextLeft, 0, width() - kTextLeft, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
        if (hasFocus()) {
            p.setPen(QPen(appstyle::accent(pal), 2));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
        }
    }

private:
    static constexpr int kIconLeft = 18;
    static constexpr int kTextLeft = 40;
};

// Widgets made after the window was built join the end of its tab order; the section's controls
// are put back where they show, right after `anchor`, top to bottom.
void placeInTabOrderAfter(QWidget* anchor, QWidget* container) {
    QWidget* previous = anchor;
    for (QWidget* widget : container->findChildren<QWidget*>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus)) continue;
        QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

QToolButton* symbolButton(QWidget* parent, const char* help) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::TabFocus);
    button->setToolTip(QString::fromUtf8(translate(help)));
    button->setAccessibleName(button->toolTip());
    return button;
}

}  // namespace

ShortcutSettingsView::ShortcutSettingsView(ShortcutSettingsModel& model, HotKeySuspender suspender, QWidget* parent)
    : QWidget(parent), model_(model), suspender_(std::move(suspender)) {
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(14, 14, 14, 14);
    layout_->setSpacing(12);

    auto* quickCreate = new QHBoxLayout;
    quickCreate->setSpacing(12);
    quickCreateIcon_ = new QLabel(this);
    quickCreateIcon_->setFixedWidth(28);
    quickCreateIcon_->setAlignment(Qt::AlignCenter);
    quickCreate->addWidget(quickCreateIcon_);

    auto* titles = new QVBoxLayout;
    titles->setSpacing(4);
    auto* title = new QLabel(QString::fromUtf8(translate(ShortcutSettingsModel::kQuickCreateTitle)), this);
    title->setFont(appstyle::headlineFont());
    quickCreateConflict_ = new QLabel(this);
    quickCreateConflict_->setObjectName(QStringLiteral("quickCreateConflict"));
    quickCreateConflict_->setFont(appstyle::captionFont(QFont::Normal));
    titles->addStretch();
    titles->addWidget(title);
    // Shown where the shortcuts cannot work, which may become known only after the card is built.
    availabilityNote_ = new QLabel(this);
    availabilityNote_->setObjectName(QStringLiteral("availabilityNote"));
    availabilityNote_->setFont(appstyle::captionFont(QFont::Normal));
    availabilityNote_->setWordWrap(true);
    availabilityNote_->hide();
    titles->addWidget(availabilityNote_);
    titles->addWidget(quickCreateConflict_);
    titles->addStretch();
    quickCreate->addLayout(titles, 1);

    quickCreateRecorder_ = new ShortcutRecorderView(
        Binding<QuickCreateShortcut>{[this] { return model_.quickCreateShortcut(); },
                                     [this](const QuickCreateShortcut& shortcut) { model_.setQuickCreateShortcut(shortcut); }},
        this);
    quickCreateRecorder_->setFixedSize(kQuickCreateRecorderWidth, ShortcutRecorderControl::kIntrinsicHeight);
    quickCreateRecorder_->setAccessibleName(title->text());
    quickCreateRecorder_->setHotKeySuspender(suspender_);
    quickCreate->addWidget(quickCreateRecorder_, 0, Qt::AlignVCenter);

    reset_ = symbolButton(this, ShortcutSettingsModel::kResetHelp);
    connect(reset_, &QToolButton::clicked, this, [this] { model_.resetQuickCreateShortcut(); });
    quickCreate->addWidget(reset_, 0, Qt::AlignVCenter);
    layout_->addLayout(quickCreate);

    layout_->addWidget(new Divider(0, this));

    auto* disclosure = new DisclosureButton(this);
    disclosure_ = disclosure;
    connect(disclosure, &QAbstractButton::toggled, this, [this](bool on) { setShowsDirectShortcuts(on); });
    layout_->addWidget(disclosure);

    settingsChanges_ = model_.observe([this] { refresh(); });
    applyColors();
    refresh();
}

ShortcutSettingsView::~ShortcutSettingsView() = default;

void ShortcutSettingsView::setShowsDirectShortcuts(bool shows) {
    if (shows == showsDirectShortcuts_) return;
    showsDirectShortcuts_ = shows;
    disclosure_->setChecked(shows);
    if (shows) {
        buildDirectSection();
    } else {
        // Collapsed, the section is gone, rows and all, as if never built.
        rows_.clear();
        destinationPicker_ = nullptr;
        destinationIcon_ = nullptr;
        delete directSection_;
        directSection_ = nullptr;
    }
}

void ShortcutSettingsView::buildDirectSection() {
    directSection_ = new QWidget(this);
    auto* section = new QVBoxLayout(directSection_);
    section->setContentsMargins(0, 8, 0, 0);
    section->setSpacing(12);

    auto* destination = new QHBoxLayout;
    destination->setSpacing(12);
    auto* label = new QHBoxLayout;
    label->setSpacing(6);
    destinationIcon_ = new QLabel(directSection_);
    destinationIcon_->setFixedSize(18, 18);
    auto* destinationTitle =
        new QLabel(QString::fromUtf8(translate(ShortcutSettingsModel::kDestinationTitle)), directSection_);
    destinationTitle->setFont(appstyle::calloutFont(QFont::Medium));
    label->addWidget(destinationIcon_);
    label->addWidget(destinationTitle);
    destination->addLayout(label);
    destinationPicker_ = new DestinationPickerControl(model_.words(), directSection_);
    destinationPicker_->setFixedSize(kDestinationPickerWidth, 24);
    connect(destinationPicker_, &DestinationPickerControl::modeChosen, this,
            [this](CreationDestinationMode mode) {
                model_.setDestination(mode);
                destinationPicker_->setMode(model_.destination());  // back, when not stored
            });
    destination->addWidget(destinationPicker_);
    destination->addStretch();
    section->addLayout(destination);
    section->addWidget(new Divider(0, directSection_));

    const auto types = model_.directShortcutRows();
    for (size_t i = 0; i < types.size(); ++i) {
        auto* row = new DirectFileShortcutRow(types[i].type, model_, suspender_, directSection_);
        rows_.push_back(row);
        section->addWidget(row);
        if (i + 1 < types.size()) section->addWidget(new Divider(kRowDividerIndent, directSection_));
    }
    layout_->addWidget(directSection_);
    placeInTabOrderAfter(disclosure_, directSection_);
    applyColors();
    refresh();
}

void ShortcutSettingsView::refresh() {
    quickCreateRecorder_->updateFromBinding();
    const auto note = model_.availabilityNote();
    availabilityNote_->setText(note ? QString::fromStdString(*note) : QString());
    availabilityNote_->setVisible(note.has_value());
    const auto conflict = model_.quickCreateConflict();
    quickCreateConflict_->setText(conflict ? qs(*conflict) : QString());
    quickCreateConflict_->setVisible(conflict.has_value());
    if (!directSection_) return;

    destinationPicker_->setMode(model_.destination());
    destinationIcon_->setPixmap(symbolIcon(model_.destinationSymbol(), palette().color(QPalette::WindowText))
                                    .pixmap(QSize(18, 18), devicePixelRatioF()));
    const auto types = model_.directShortcutRows();
    bool sameTypes = types.size() == rows_.size();
    for (size_t i = 0; sameTypes && i < types.size(); ++i) sameTypes = types[i].type == rows_[i]->type();
    if (sameTypes) {
        for (auto* row : rows_) row->refresh();
        return;
    }
    // The order of the types changed: build the rows again, once the change that told us is
    // over (it may come from a row's own recorder).
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!showsDirectShortcuts_) return;
            setShowsDirectShortcuts(false);
            setShowsDirectShortcuts(true);
        },
        Qt::QueuedConnection);
}

void ShortcutSettingsView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        applyColors();
        refresh();
    }
    QWidget::changeEvent(event);
}

void ShortcutSettingsView::applyColors() {
    const QPalette& pal = palette();
    quickCreateIcon_->setPixmap(symbolIcon(ShortcutSettingsModel::kQuickCreateSymbol, appstyle::accent(pal))
                                    .pixmap(QSize(24, 24), devicePixelRatioF()));
    reset_->setIcon(symbolIcon(ShortcutSettingsModel::kResetSymbol, appstyle::secondaryText(pal)));
    QPalette conflictPalette = quickCreateConflict_->palette();
    conflictPalette.setColor(QPalette::WindowText, shortcutstyle::conflictRed(pal));
    quickCreateConflict_->setPalette(conflictPalette);
    QPalette notePalette = availabilityNote_->palette();
    notePalette.setColor(QPalette::WindowText, appstyle::secondaryText(pal));
    availabilityNote_->setPalette(notePalette);
}

void ShortcutSettingsView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()), 10, 10);
    p.fillPath(card, shortcutstyle::cardFill(palette()));
}

}  // namespace quillet
