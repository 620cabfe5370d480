#pragma once

#include <string>
#include <vector>

#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

namespace quillet {

// The help page as plain data, in reading order, so its texts and grouping are checked without a
// display and a widget only lays them out.

// The four summary tiles at the top.
struct HelpCard {
    std::string symbolName;
    std::string title;
    std::string detail;
};

enum class HelpTint { accent, green };

// Where one way of creating works.
struct HelpLocationRow {
    std::string symbol;
    HelpTint tint;
    std::string title;
    std::string detail;
};

struct HelpStep {
    int number;
    std::string title;
    std::string detail;
};

struct HelpFileTypeGroup {
    std::string title;
    std::vector<std::string> items;
};

// One piece of a section, shown in order: a secondary paragraph, location rows, a divider, a
// headline, numbered steps or file type groups. Only the fields of its kind are set.
struct HelpBlock {
    enum class Kind { paragraph, locationRow, divider, heading, steps, fileTypeGroups };
    Kind kind;
    std::string text;
    HelpLocationRow row{};
    std::vector<HelpStep> steps{};
    std::vector<HelpFileTypeGroup> groups{};
};

struct HelpSection {
    std::string symbolName;
    std::string title;
    std::vector<HelpBlock> blocks;
};

struct HelpContent {
    static constexpr const char* kTitle = N_("Quillet+ Help");
    // Filled in with the session's file manager, like every text of the page.
    static constexpr const char* kSubtitle = linuxtexts::kHelpSubtitle;
    static constexpr const char* kHeaderSymbol = "doc.badge.plus";
    // The section the extension settings button leads to where the desktop has no such page.
    static constexpr const char* kExtensionSectionTitle = linuxtexts::kHelpExtensionSectionTitle;

    std::string subtitle;  // kSubtitle in the session's words (without a tray, its own variant)
    std::vector<HelpCard> cards;
    std::vector<HelpSection> sections;
};

struct DesktopWords;

// The whole page, built once by the view, in the words of the session's desktop. `whereTheMenuIs`
// (see fileManagerMenuSummary), when there is anything to say, opens the file manager menu's
// section.
HelpContent helpContent(const DesktopWords& words, const std::string& whereTheMenuIs = {});

}  // namespace quillet
