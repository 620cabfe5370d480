#include "gui/windows/UninstallView.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/windows/CardTexts.h"
#include "gui/style/AppStyle.h"
#include "shared/text/Translation.h"

namespace quillet {

using namespace windowstyle;

UninstallView::UninstallView(std::function<void()> requestUninstall, const DesktopWords& words, QWidget* parent)
    : WindowCard(parent) {
    setObjectName(QStringLiteral("uninstall"));
    row()->addWidget(new SymbolView("trash", red(palette()), 22, this, 28), 0, Qt::AlignVCenter);
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    column->addWidget(textLabel(cardtexts::kUninstallTitle, appstyle::headlineFont(), TextStyle::primary, this));
    column->addWidget(
        textLabel(words.fill(cardtexts::kUninstallDetail), appstyle::calloutFont(QFont::Normal), TextStyle::secondary,
                  this));
    row()->addLayout(column, 1);
    auto* button = new QPushButton(QString::fromUtf8(translate(cardtexts::kUninstallButton)), this);
    button->setObjectName(QStringLiteral("uninstallButton"));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [request = std::move(requestUninstall)] {
        if (request) request();
    });
    row()->addWidget(button, 0, Qt::AlignVCenter);
}

}  // namespace quillet
