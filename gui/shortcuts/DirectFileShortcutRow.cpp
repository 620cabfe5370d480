#include "gui/shortcuts/DirectFileShortcutRow.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/shortcuts/ShortcutRecorderView.h"
#include "gui/shortcuts/ShortcutStyle.h"
#include "gui/style/AppStyle.h"
#include "gui/style/QtSymbolIcons.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {
QString qs(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

DirectFileShortcutRow::DirectFileShortcutRow(FileTypeDefinition type, ShortcutSettingsModel& model,
                                             const HotKeySuspender& suspender, QWidget* parent)
    : QWidget(parent), type_(std::move(type)), model_(model) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 7, 0, 7);
    row->setSpacing(12);

    icon_ = new QLabel(this);
    icon_->setFixedSize(22, 22);
    icon_->setAlignment(Qt::AlignCenter);
    row->addWidget(icon_, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* name = new QLabel(qs(localizedName(type_)), this);
    name->setObjectName(QStringLiteral("typeName"));
    name->setFont(appstyle::calloutFont(QFont::Normal));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setFont(appstyle::captionFont(QFont::Normal));
    texts->addWidget(name);
    texts->addWidget(status_);
    row->addLayout(texts, 1);

    const std::string typeID = type_.id;
    recorder_ = new OptionalShortcutRecorderView(
        Binding<std::optional<QuickCreateShortcut>>{
            [this] { return model_.directShortcutRow(type_).shortcut; },
            [this, typeID](const std::optional<QuickCreateShortcut>& shortcut) { model_.setShortcut(typeID, shortcut); }},
        this);
    recorder_->setFixedSize(kRecorderWidth, ShortcutRecorderControl::kIntrinsicHeight);
    // TRANSLATORS: %1 is a file type ("Markdown").
    recorder_->setAccessibleName(qs(formatText(translate("%1 shortcut"), {localizedName(type_)})));
    recorder_->setHotKeySuspender(suspender);
    row->addWidget(recorder_, 0, Qt::AlignVCenter);

    clear_ = new QToolButton(this);
    clear_->setAutoRaise(true);
    clear_->setIconSize(QSize(16, 16));
    clear_->setFocusPolicy(Qt::TabFocus);
    connect(clear_, &QToolButton::clicked, this, [this, typeID] { model_.clearShortcut(typeID); });
    row->addWidget(clear_, 0, Qt::AlignVCenter);

    applyColors();
    refresh();
}

void DirectFileShortcutRow::refresh() {
    const ShortcutSettingsModel::DirectShortcutRow row = model_.directShortcutRow(type_);
    recorder_->updateFromBinding();
    status_->setText(qs(row.status));
    const QString clearHelp = qs(row.clearHelp);
    clear_->setToolTip(clearHelp);
    clear_->setAccessibleName(clearHelp);
    clear_->setEnabled(row.canClear);
    if (row.statusIsConflict != statusIsConflict_) {
        statusIsConflict_ = row.statusIsConflict;
        applyColors();
    }
}

void DirectFileShortcutRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) applyColors();
    QWidget::changeEvent(event);
}

void DirectFileShortcutRow::applyColors() {
    const QPalette& pal = palette();
    icon_->setPixmap(fileTypeIcon(type_, appstyle::accent(pal)).pixmap(QSize(20, 20), devicePixelRatioF()));
    clear_->setIcon(symbolIcon(ShortcutSettingsModel::kClearSymbol, appstyle::secondaryText(pal)));
    QPalette statusPalette = status_->palette();
    statusPalette.setColor(QPalette::WindowText,
                           statusIsConflict_ ? shortcutstyle::conflictRed(pal) : appstyle::secondaryText(pal));
    status_->setPalette(statusPalette);
}

}  // namespace quillet
