#include <gtest/gtest.h>

#include "app/keys/QuickCreateShortcut.h"
#include "app/windows/CardTexts.h"
#include "app/windows/HelpContent.h"
#include "app/windows/OnboardingTexts.h"
#include "shared/text/DesktopWords.h"

using namespace quillet;

namespace {

std::vector<std::string> sectionTitles(const HelpContent& help) {
    std::vector<std::string> titles;
    for (const auto& section : help.sections) titles.push_back(section.title);
    return titles;
}

// Every text a reader of the help page sees, in order.
std::vector<std::string> helpTexts(const HelpContent& help) {
    std::vector<std::string> texts{HelpContent::kTitle, help.subtitle};
    for (const auto& card : help.cards) texts.insert(texts.end(), {card.title, card.detail});
    for (const auto& section : help.sections) {
        texts.push_back(section.title);
        for (const auto& block : section.blocks) {
            texts.push_back(block.text);
            texts.insert(texts.end(), {block.row.title, block.row.detail});
            for (const auto& step : block.steps) texts.insert(texts.end(), {step.title, step.detail});
            for (const auto& group : block.groups) {
                texts.push_back(group.title);
                texts.insert(texts.end(), group.items.begin(), group.items.end());
            }
        }
    }
    return texts;
}

TEST(HelpContentTest, SectionsCardsAndFileTypesComeInReadingOrder) {
    const HelpContent help = helpContent(DesktopWords::forDesktop("GNOME"));
    EXPECT_EQ(sectionTitles(help), (std::vector<std::string>{"Where Create File Works", "Supported Files",
                                                             "File Manager Menu Troubleshooting", "Folder Access",
                                                             "File Naming", "Uninstalling"}));
    EXPECT_EQ(help.sections[2].title, HelpContent::kExtensionSectionTitle);
    ASSERT_EQ(help.cards.size(), 4u);
    EXPECT_EQ(help.cards[0].title, "Right-click in Files");
    EXPECT_EQ(help.cards[2].title, "Quick Create shortcut");
    EXPECT_EQ(help.cards[3].title, "Tray & file types");

    const auto& groups = help.sections[1].blocks.at(0).groups;
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].items, (std::vector<std::string>{".txt Text", ".md Markdown", ".rtf Rich Text", ".csv CSV"}));
    EXPECT_EQ(groups[1].items.size(), 9u);
    EXPECT_EQ(groups[1].items.back(), ".swift Swift");
    EXPECT_EQ(groups[2].items.back(), ".pptx PowerPoint Presentation");

    // Steps are numbered from 1 in every list, and the uninstall section ends with the manual way.
    for (const auto& section : help.sections) {
        for (const auto& block : section.blocks) {
            for (size_t i = 0; i < block.steps.size(); ++i) EXPECT_EQ(block.steps[i].number, static_cast<int>(i + 1));
        }
    }
    const auto& uninstall = help.sections.back().blocks;
    ASSERT_EQ(uninstall.size(), 4u);
    EXPECT_EQ(uninstall[0].steps.size(), 4u);
    EXPECT_EQ(uninstall[1].kind, HelpBlock::Kind::divider);
    EXPECT_EQ(uninstall[2].text, "If uninstall cannot finish");
    EXPECT_EQ(uninstall[3].kind, HelpBlock::Kind::paragraph);
}

// Filled in for a known and an unknown file manager, no text names a macOS facility or keeps a
// placeholder. (The built windows are scanned as a whole in the desktop-words widget test.)
TEST(WindowTextsTest, NoTextSendsALinuxUserToAMacFacility) {
    for (const DesktopWords& words : {DesktopWords::forDesktop("GNOME"), DesktopWords{}}) {
        std::vector<std::string> texts = helpTexts(helpContent(words));
        for (const char* text :
             {cardtexts::kExtensionTitle, cardtexts::kExtensionDetail, cardtexts::kGuideRightClick,
              cardtexts::kGuideBlockedFolders, cardtexts::kGuideTrayBullet, cardtexts::kUninstallDetail,
              onboardingtexts::kWelcomeDetail, onboardingtexts::kRightClickTitle, onboardingtexts::kRightClickSubtitle,
              onboardingtexts::kBlockedTitle, onboardingtexts::kBlockedSubtitle, onboardingtexts::kBlockedStep1Heading,
              onboardingtexts::kBlockedStep1Text, onboardingtexts::kQuickCreateSubtitle,
              onboardingtexts::kQuickCreateDestination, onboardingtexts::kQuickCreateFilter}) {
            texts.push_back(words.fill(text));
        }
        for (const std::string& text : texts) {
            for (const char* phrase : {"macOS", "your Mac", "Apple", "System Settings", "Customize Toolbar", "Finder",
                                       "is sandboxed", "Login Items", "iCloud", "menu bar", "menu-bar", "Dock", "{"}) {
                EXPECT_EQ(text.find(phrase), std::string::npos) << '"' << phrase << "\" in: " << text;
            }
        }
    }
}

TEST(WindowTextsTest, TheGuidesKeyboardLineNamesTheShortcutInBold) {
    EXPECT_EQ(cardtexts::guideKeyboardLine(defaultQuickCreateShortcut),
              "Press **Ctrl+Alt+N** to open Quick Create, or use the tray icon.");
    EXPECT_EQ(cardtexts::guideKeyboardLine(QuickCreateShortcut{96, kCarbonCommandKey | kCarbonOptionKey}),
              "Press **Alt+Super+F5** to open Quick Create, or use the tray icon.");
}

}  // namespace

namespace {

// Where the desktop shows no tray, the help speaks of the application's icon, never of a tray
// icon to click.
TEST(HelpContentTest, WithoutATrayTheHelpSpeaksOfTheApplicationsIcon) {
    DesktopWords words = DesktopWords::forDesktop("GNOME");
    words.hasTray = false;
    const HelpContent help = helpContent(words);
    for (const std::string& text : helpTexts(help)) {
        for (const char* tray : {"tray icon", "Tray", "the tray,", "system tray"})
            EXPECT_EQ(text.find(tray), std::string::npos) << text;
    }
    EXPECT_EQ(help.cards[1].title, "Quillet+ icon");
    EXPECT_EQ(help.sections[0].blocks.at(5).text, "Use the Quillet+ icon (no setup)");
    EXPECT_EQ(help.sections[0].blocks.at(6).steps.at(1).detail,
              "The Quick Create panel opens: choose Desktop, or Files Folder for the folder of the front Files window.");
}

}  // namespace
