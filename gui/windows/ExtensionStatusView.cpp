#include "gui/windows/ExtensionStatusView.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/windows/CardTexts.h"
#include "gui/style/AppStyle.h"
#include "shared/text/Translation.h"

namespace quillet {

using namespace windowstyle;

ExtensionStatusView::ExtensionStatusView(std::function<void()> openExtensionSettings, std::string whereTheMenuIs,
                                         QWidget* parent)
    : WindowCard(parent) {
    setObjectName(QStringLiteral("extensionStatus"));
    row()->addWidget(new SymbolView("puzzlepiece.extension.fill", appstyle::accent(palette()), 22, this, 28), 0,
                     Qt::AlignTop);
    auto* column = new QVBoxLayout;
    column->setSpacing(6);
    column->addWidget(textLabel(cardtexts::kExtensionTitle, appstyle::headlineFont(), TextStyle::primary, this));
    column->addWidget(
        textLabel(cardtexts::kExtensionDetail, appstyle::calloutFont(QFont::Normal), TextStyle::secondary, this));
    if (!whereTheMenuIs.empty()) {
        auto* here = textLabel(whereTheMenuIs, appstyle::calloutFont(QFont::Normal), TextStyle::secondary, this);
        here->setObjectName(QStringLiteral("whereTheMenuIs"));
        column->addWidget(here);
    }
    auto* button = new QPushButton(QString::fromUtf8(translate(cardtexts::kExtensionButton)), this);
    button->setObjectName(QStringLiteral("openExtensionSettings"));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [open = std::move(openExtensionSettings)] {
        if (open) open();
    });
    column->addWidget(button, 0, Qt::AlignLeft);
    column->addStretch();
    row()->addLayout(column, 1);
}

}  // namespace quillet
