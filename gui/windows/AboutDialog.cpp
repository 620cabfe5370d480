#include "gui/windows/AboutDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <string_view>

#include "gui/style/AppStyle.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {

QLabel* centredLabel(const QString& text, const QFont& font, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter);
    label->setWordWrap(true);
    return label;
}

}  // namespace

AboutDialog::AboutDialog(const std::string& versionLine, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(translate(kTitle)));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 16);
    layout->setSpacing(8);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QApplication::windowIcon().pixmap(96, 96));
    icon->setAlignment(Qt::AlignHCenter);
    layout->addWidget(icon);

    auto* name = centredLabel(QStringLiteral("Quillet+"), appstyle::appFont(22, QFont::DemiBold), this);
    name->setObjectName(QStringLiteral("aboutName"));
    layout->addWidget(name);
    auto* version = centredLabel(QString::fromStdString(versionLine), appstyle::calloutFont(QFont::Normal), this);
    version->setObjectName(QStringLiteral("aboutVersion"));
    layout->addWidget(version);
    layout->addSpacing(6);
    auto* summary = centredLabel(QString::fromUtf8(translate(kSummary)), appstyle::calloutFont(QFont::Normal), this);
    summary->setObjectName(QStringLiteral("aboutSummary"));
    layout->addWidget(summary);

    const QString homepage = QString::fromUtf8(kHomepage);
    auto* link = centredLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(homepage.toHtmlEscaped()),
                              appstyle::calloutFont(QFont::Normal), this);
    link->setObjectName(QStringLiteral("aboutHomepage"));
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true);
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    layout->addWidget(link);

    auto* licence = centredLabel(QString::fromUtf8(translate(kLicence)), appstyle::captionFont(QFont::Normal), this);
    licence->setObjectName(QStringLiteral("aboutLicence"));
    QPalette palette = licence->palette();
    palette.setColor(QPalette::WindowText, appstyle::secondaryText(palette));
    licence->setPalette(palette);
    layout->addWidget(licence);

    layout->addSpacing(8);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    // Qt names its standard button in English; a translation of ours takes its place.
    if (const char* close = translate("Close"); std::string_view(close) != "Close")
        buttons->button(QDialogButtonBox::Close)->setText(QString::fromUtf8(close));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Wide enough for the summary on one line and the title bar's text uncut.
    layout->addSpacerItem(new QSpacerItem(kMinimumWidth, 0, QSizePolicy::Fixed, QSizePolicy::Minimum));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace quillet
