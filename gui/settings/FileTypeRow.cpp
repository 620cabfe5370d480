#include "gui/settings/FileTypeRow.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/settings/FileTypesListModel.h"
#include "gui/settings/SwitchButton.h"
#include "gui/style/AppStyle.h"
#include "gui/style/QtSymbolIcons.h"

namespace quillet {

using namespace appstyle;

FileTypeRow::FileTypeRow(FileTypeDefinition type, const std::string& detail, FileTypesListModel& model,
                         QWidget* parent)
    : QWidget(parent), type_(std::move(type)), model_(model) {
    setObjectName(QStringLiteral("fileTypeRow"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 2, 0, 2);
    row->setSpacing(12);

    symbol_ = new QLabel(this);
    symbol_->setFixedSize(kSymbolSize, kSymbolSize);
    symbol_->setAlignment(Qt::AlignCenter);
    row->addWidget(symbol_, 0, Qt::AlignVCenter);

    auto* text = new QVBoxLayout;
    text->setSpacing(2);
    text->setContentsMargins(0, 0, 0, 0);
    name_ = new QLabel(QString::fromStdString(localizedName(type_)), this);
    name_->setObjectName(QStringLiteral("fileTypeName"));
    name_->setFont(calloutFont(QFont::Normal));
    extension_ = new QLabel(QString::fromStdString(detail), this);
    extension_->setObjectName(QStringLiteral("fileTypeExtension"));
    extension_->setFont(captionFont(QFont::Normal));
    text->addWidget(name_);
    text->addWidget(extension_);
    row->addLayout(text, 1);

    switch_ = new SwitchButton(this);
    switch_->setAccessibleName(QString::fromStdString(localizedName(type_)));
    switch_->setChecked(model_.isEnabled(type_.id));
    row->addWidget(switch_, 0, Qt::AlignVCenter);
    // Only the user's flip writes; showing a stored change does not echo it back. A flip that
    // was not stored goes back at once: the switch shows what the settings hold.
    connect(switch_, &QAbstractButton::clicked, this, [this](bool on) {
        model_.setEnabled(type_.id, on);
        showEnabled(model_.isEnabled(type_.id));
    });

    applyPalette();
}

void FileTypeRow::showEnabled(bool enabled) {
    if (switch_->isChecked() != enabled) switch_->setChecked(enabled);
}

void FileTypeRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) applyPalette();
    QWidget::changeEvent(event);
}

void FileTypeRow::applyPalette() {
    const QPalette pal = palette();
    symbol_->setPixmap(fileTypeIcon(type_, accent(pal)).pixmap(QSize(kSymbolSize, kSymbolSize),
                                                                          devicePixelRatioF()));
    QPalette secondary = extension_->palette();
    secondary.setColor(QPalette::WindowText, secondaryText(pal));
    extension_->setPalette(secondary);
}

}  // namespace quillet
