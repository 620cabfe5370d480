#include "gui/windows/CreationGuideView.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/windows/CardTexts.h"
#include "app/windows/CreationGuideModel.h"
#include "gui/style/AppStyle.h"

namespace quillet {

using namespace windowstyle;

namespace {

// A bullet: the icon at caption size in a 16 wide frame, level with the text's first line.
QLabel* addBullet(QVBoxLayout* column, QWidget* parent, const char* symbol, const std::string& text) {
    auto* bullet = new QHBoxLayout;
    bullet->setSpacing(8);
    auto* icon = new SymbolView(symbol, appstyle::accent(parent->palette()), 13, parent, 16);
    icon->setTopInset(3);
    bullet->addWidget(icon, 0, Qt::AlignTop);
    QLabel* label = textLabel(text, appstyle::calloutFont(QFont::Normal), TextStyle::secondary, parent, true);
    bullet->addWidget(label, 1);
    column->addLayout(bullet);
    return label;
}

}  // namespace

CreationGuideView::CreationGuideView(CreationGuideModel& model, QWidget* parent) : WindowCard(parent), model_(model) {
    setObjectName(QStringLiteral("creationGuide"));
    row()->addWidget(new SymbolView("folder.badge.questionmark", appstyle::accent(palette()), 22, this, 28), 0,
                     Qt::AlignTop);
    auto* column = new QVBoxLayout;
    column->setSpacing(8);
    column->addWidget(textLabel(cardtexts::kGuideTitle, appstyle::headlineFont(), TextStyle::primary, this));
    const QFont callout = appstyle::calloutFont(QFont::Normal);
    column->addWidget(textLabel(cardtexts::kGuideRightClick, callout, TextStyle::secondary, this, true));
    column->addWidget(textLabel(cardtexts::kGuideBlockedFolders, callout, TextStyle::secondary, this, true));
    addBullet(column, this, "macwindow.on.rectangle", model_.trayLine());
    keyboardLine_ = addBullet(column, this, "keyboard", model_.keyboardLine());
    keyboardLine_->setObjectName(QStringLiteral("keyboardLine"));
    column->addStretch();
    row()->addLayout(column, 1);

    shortcutChanges_ = model_.observe([this] { keyboardLine_->setText(styledTextHtml(model_.keyboardLine())); });
}

}  // namespace quillet
