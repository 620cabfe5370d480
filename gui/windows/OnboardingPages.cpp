#include "gui/windows/OnboardingPages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/windows/OnboardingTexts.h"
#include "gui/style/AppStyle.h"
#include "gui/windows/OnboardingIllustrations.h"
#include "gui/windows/WindowStyle.h"

namespace quillet {

using namespace windowstyle;
namespace ot = onboardingtexts;

namespace {

QVBoxLayout* pageColumn(QWidget* page, int spacing) {
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    return column;
}

// The tile, the title and the subtitle that head pages 1 to 3.
QLayout* header(QWidget* page, const char* symbol, const std::string& title, const std::string& subtitle) {
    auto* row = new QHBoxLayout;
    row->setSpacing(14);
    row->addWidget(new SymbolTile(symbol, 48, 12, 30, page), 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    QLabel* titleLabel = textLabel(title, title2Font(), TextStyle::primary, page);
    titleLabel->setObjectName(QStringLiteral("pageTitle"));
    texts->addWidget(titleLabel);
    texts->addWidget(textLabel(subtitle, appstyle::calloutFont(QFont::Normal), TextStyle::secondary, page));
    row->addLayout(texts, 1);
    return row;
}

// A symbol level with the first line of a secondary callout text, 10 apart.
QLayout* bullet(QWidget* page, const char* symbol, const QColor& color, const std::string& text) {
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    auto* icon = new SymbolView(symbol, color, 15, page);
    icon->setTopInset(1);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(textLabel(text, appstyle::calloutFont(QFont::Normal), TextStyle::secondary, page, true), 1);
    return row;
}

void welcomePage(QWidget* page, const DesktopWords& words) {
    auto* column = pageColumn(page, 20);
    column->addSpacing(36);
    column->addWidget(new SymbolTile("doc.badge.plus", 84, 20, 46, page), 0, Qt::AlignHCenter);
    QLabel* title = textLabel(ot::kWelcomeTitle, largeTitleFont(), TextStyle::primary, page);
    title->setObjectName(QStringLiteral("pageTitle"));
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    column->addWidget(title);
    const char* welcome = words.hasTray ? ot::kWelcomeDetail : linuxtexts::kOnboardingWelcomeDetailNoTray;
    QLabel* detail = textLabel(words.fill(welcome), title3Font(), TextStyle::secondary, page);
    detail->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Centred in the column, a wrapped label gets no height for its width: give it its own.
    detail->setFixedWidth(480);
    detail->setFixedHeight(detail->heightForWidth(480));
    column->addWidget(detail, 0, Qt::AlignHCenter);
    column->addStretch();
}

void rightClickPage(QWidget* page, const DesktopWords& words) {
    auto* column = pageColumn(page, 20);
    column->addLayout(header(page, "filemenu.and.cursorarrow", words.fill(ot::kRightClickTitle),
                             words.fill(ot::kRightClickSubtitle)));
    column->addWidget(contextMenuIllustration(page), 0, Qt::AlignLeft);
    auto* bullets = new QVBoxLayout;
    bullets->setSpacing(10);
    bullets->addLayout(bullet(page, "checkmark.circle.fill", green(page->palette()), ot::kRightClickWorksIn));
    bullets->addLayout(bullet(page, "info.circle.fill", appstyle::accent(page->palette()), ot::kRightClickHowTo));
    column->addLayout(bullets);
    column->addStretch();
}

QWidget* stepCard(QWidget* page) {
    auto* card = new RoundedBox(controlBackground(page->palette()), appstyle::withAlpha(appstyle::separator(page->palette()), 0.45), 10, page);
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(10);
    return card;
}

void blockedFoldersPage(QWidget* page, const std::string& shortcut, const DesktopWords& words) {
    auto* column = pageColumn(page, 18);
    column->addLayout(
        header(page, "macwindow.on.rectangle", words.fill(ot::kBlockedTitle), words.fill(ot::kBlockedSubtitle)));
    const QColor accent = appstyle::accent(page->palette());

    QWidget* first = stepCard(page);
    auto* firstColumn = static_cast<QVBoxLayout*>(first->layout());
    auto* heading = new QHBoxLayout;
    heading->setSpacing(8);
    heading->addWidget(new SymbolView("1.circle.fill", accent, 18, first));
    // Where the desktop shows no tray, the application's icon takes the tray icon's place.
    const char* step1Heading = words.hasTray ? ot::kBlockedStep1Heading : linuxtexts::kOnboardingNoTrayHeading;
    const char* step1Text = words.hasTray ? ot::kBlockedStep1Text : linuxtexts::kOnboardingNoTrayText;
    heading->addWidget(textLabel(step1Heading, appstyle::headlineFont(), TextStyle::primary, first), 1);
    firstColumn->addLayout(heading);
    firstColumn->addWidget(
        textLabel(words.fill(step1Text), appstyle::calloutFont(QFont::Normal), TextStyle::secondary, first, true));
    if (words.hasTray) firstColumn->addWidget(trayIllustration(first));
    column->addWidget(first);

    QWidget* second = stepCard(page);
    auto* secondRow = new QHBoxLayout;
    secondRow->setSpacing(12);
    secondRow->addWidget(new SymbolView("2.circle.fill", accent, 24, second), 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(textLabel(ot::kBlockedStep2Heading, appstyle::headlineFont(), TextStyle::primary, second));
    QLabel* line = textLabel(ot::shortcutStepText(shortcut), appstyle::calloutFont(QFont::Normal),
                             TextStyle::secondary, second, true);
    line->setObjectName(QStringLiteral("shortcutLine"));
    texts->addWidget(line);
    secondRow->addLayout(texts, 1);
    static_cast<QVBoxLayout*>(second->layout())->addLayout(secondRow);
    column->addWidget(second);
    column->addStretch();
}

void quickCreatePage(QWidget* page, const std::string& shortcut, const DesktopWords& words) {
    auto* column = pageColumn(page, 18);
    column->addLayout(header(page, "keyboard", ot::kQuickCreateTitle, words.fill(ot::kQuickCreateSubtitle)));
    const QColor accent = appstyle::accent(page->palette());

    auto* line = new QHBoxLayout;
    line->setSpacing(8);
    QLabel* press = textLabel(ot::kQuickCreatePress, appstyle::calloutFont(QFont::Normal), TextStyle::secondary, page);
    line->addWidget(press);
    auto* chip = new RoundedBox(appstyle::withAlpha(accent, 0.12), QColor(), 8, page);
    auto* chipRow = new QHBoxLayout(chip);
    chipRow->setContentsMargins(10, 6, 10, 6);
    QLabel* keys = textLabel(shortcut, appstyle::appFont(16, QFont::DemiBold), TextStyle::primary, chip);
    keys->setObjectName(QStringLiteral("shortcutLine"));
    keys->setWordWrap(false);
    QPalette keysPalette = keys->palette();
    keysPalette.setColor(QPalette::WindowText, accent);
    keys->setPalette(keysPalette);
    chipRow->addWidget(keys);
    line->addWidget(chip);
    QLabel* anytime =
        textLabel(ot::kQuickCreateAnytime, appstyle::calloutFont(QFont::Normal), TextStyle::secondary, page);
    anytime->setWordWrap(false);
    // Both halves of the sentence sit level with the middle of the shortcut between them.
    for (QLabel* half : {press, anytime}) {
        half->setWordWrap(false);
        half->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    line->addWidget(anytime);
    line->addStretch();
    column->addLayout(line);

    column->addWidget(quickCreatePanelIllustration(page, words));
    auto* bullets = new QVBoxLayout;
    bullets->setSpacing(10);
    bullets->addLayout(bullet(page, "rectangle.2.swap", accent, words.fill(ot::kQuickCreateDestination)));
    bullets->addLayout(bullet(page, "magnifyingglass", accent, words.fill(ot::kQuickCreateFilter)));
    column->addLayout(bullets);
    column->addStretch();
}

}  // namespace

QWidget* makeOnboardingPage(int index, const std::string& shortcut, const DesktopWords& words, QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("onboardingPage%1").arg(index));
    switch (OnboardingModel::pageKind(index)) {
    case OnboardingPage::welcome: welcomePage(page, words); break;
    case OnboardingPage::rightClick: rightClickPage(page, words); break;
    case OnboardingPage::blockedFolders: blockedFoldersPage(page, shortcut, words); break;
    case OnboardingPage::quickCreate: quickCreatePage(page, shortcut, words); break;
    }
    return page;
}

}  // namespace quillet
