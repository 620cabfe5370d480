#include "app/windows/HelpContent.h"

#include "shared/text/DesktopWords.h"
#include "shared/text/LinuxTexts.h"

namespace quillet {

namespace {

using Kind = HelpBlock::Kind;
namespace lt = linuxtexts;

HelpBlock paragraph(std::string text) { return {Kind::paragraph, std::move(text)}; }
HelpBlock row(HelpLocationRow row) { return {Kind::locationRow, {}, std::move(row)}; }
HelpBlock divider() { return {Kind::divider, {}}; }
HelpBlock heading(std::string text) { return {Kind::heading, std::move(text)}; }
HelpBlock steps(std::vector<HelpStep> steps) { return {Kind::steps, {}, {}, std::move(steps)}; }
HelpBlock groups(std::vector<HelpFileTypeGroup> groups) { return {Kind::fileTypeGroups, {}, {}, {}, std::move(groups)}; }

// Every text of the page with the file manager's placeholders filled in.
void fillWords(HelpContent& content, const DesktopWords& words) {
    content.subtitle = words.fill(content.subtitle);
    for (HelpCard& card : content.cards) {
        card.title = words.fill(card.title);
        card.detail = words.fill(card.detail);
    }
    for (HelpSection& section : content.sections) {
        section.title = words.fill(section.title);
        for (HelpBlock& block : section.blocks) {
            block.text = words.fill(block.text);
            block.row.title = words.fill(block.row.title);
            block.row.detail = words.fill(block.row.detail);
            for (HelpStep& step : block.steps) {
                step.title = words.fill(step.title);
                step.detail = words.fill(step.detail);
            }
        }
    }
}

// Where the desktop shows no tray, the texts on the tray icon speak of the Quick Create action of
// the application's own icon.
HelpContent unfilledHelpContent(bool tray) {
    HelpContent content;
    content.subtitle = tray ? HelpContent::kSubtitle : lt::kHelpSubtitleNoTray;
    const std::vector<HelpStep> trayStepList{{1, lt::kHelpTrayStep1Title, lt::kHelpTrayStep1Detail},
                                             {2, lt::kHelpTrayStep2Title, lt::kHelpTrayStep2Detail},
                                             {3, lt::kHelpTrayStep3Title, lt::kHelpTrayStep3Detail}};
    const std::vector<HelpStep> appIconStepList{{1, lt::kHelpNoTrayStep1Title, lt::kHelpNoTrayStep1Detail},
                                                {2, lt::kHelpNoTrayStep2Title, lt::kHelpNoTrayStep2Detail},
                                                {3, lt::kHelpTrayStep3Title, lt::kHelpNoTrayStep3Detail}};
    content.cards = {
        {"filemenu.and.cursorarrow", lt::kHelpRightClickCardTitle,
         tray ? lt::kHelpRightClickCardDetail : lt::kHelpRightClickCardDetailNoTray},
        {"macwindow.on.rectangle", tray ? lt::kHelpTrayCardTitle : lt::kHelpNoTrayCardTitle,
         tray ? lt::kHelpTrayCardDetail : lt::kHelpNoTrayCardDetail},
        {"keyboard", "Quick Create shortcut",
         "Press your Quick Create shortcut to open the file picker, search by type or extension, and choose the "
         "destination. Works in every folder, with no setup."},
        {"menubar.rectangle", tray ? lt::kHelpTrayAndTypesCardTitle : lt::kHelpTypesCardTitleNoTray,
         tray ? lt::kHelpTrayAndTypesCardDetail : lt::kHelpTypesCardDetailNoTray},
    };

    content.sections.push_back(
        {"square.grid.2x2",
         "Where Create File Works",
         {paragraph(lt::kHelpWhereIntro),
          row({"checkmark.circle.fill", HelpTint::green, "Right-click menu",
               "Dropbox, Downloads, and folders you own (your home folder and its regular subfolders)."}),
          row({"macwindow.on.rectangle", HelpTint::accent, tray ? lt::kHelpTrayRowTitle : lt::kHelpNoTrayRowTitle,
               tray ? lt::kHelpTrayRowDetail : lt::kHelpNoTrayRowDetail}),
          row({"keyboard", HelpTint::accent, "Quick Create shortcut — works everywhere",
               tray ? lt::kHelpShortcutRowDetail : lt::kHelpShortcutRowDetailNoTray}),
          divider(),
          heading(tray ? lt::kHelpTrayStepsHeading : lt::kHelpNoTrayStepsHeading),
          steps(tray ? trayStepList : appIconStepList)}});

    content.sections.push_back(
        {"doc.badge.plus",
         "Supported Files",
         {groups({{"Plain Text", {".txt Text", ".md Markdown", ".rtf Rich Text", ".csv CSV"}},
                  {"Code",
                   {".json JSON", ".yaml YAML", ".xml XML", ".html HTML", ".css CSS", ".js JavaScript",
                    ".sh Shell Script", ".py Python", ".swift Swift"}},
                  {"Office", {".docx Word Document", ".xlsx Excel Spreadsheet", ".pptx PowerPoint Presentation"}}})}});

    content.sections.push_back(
        {"puzzlepiece.extension",
         HelpContent::kExtensionSectionTitle,
         {steps({{1, lt::kHelpExtensionStep1Title, lt::kHelpExtensionStep1Detail},
                 {2, lt::kHelpExtensionStep2Title, lt::kHelpExtensionStep2Detail},
                 {3, "Use a real folder target", lt::kHelpExtensionStep3Detail}})}});

    content.sections.push_back(
        {"folder.badge.gearshape",
         "Folder Access",
         {paragraph(lt::kHelpFolderAccessIntro),
          steps({{1, "Grant your home folder once",
                  "In the main window, use Folder Access ▸ Grant Home Folder. Quillet+ stores a secure bookmark and "
                  "reuses it for folders you own, including Desktop, Documents, and Downloads."},
                 {2, "Add cloud folders", lt::kHelpCloudFoldersDetail},
                 {3, "Add external volumes separately",
                  "External drives and mounted volumes live outside your home folder. Add those volume roots from "
                  "Folder Access when you want to create files there."},
                 {4, lt::kHelpFolderAccessStep4Title, lt::kHelpFolderAccessStep4Detail}})}});

    content.sections.push_back(
        {"textformat",
         "File Naming",
         {paragraph(lt::kHelpFileNaming)}});

    content.sections.push_back(
        {"trash",
         "Uninstalling",
         {steps({{1, "Start the uninstaller",
                  tray ? lt::kHelpUninstallStep1Detail : lt::kHelpUninstallStep1DetailNoTray},
                 {2, "Confirm the warning", lt::kHelpUninstallStep2Detail},
                 {3, "Let Quillet+ clean up", lt::kHelpUninstallStep3Detail},
                 {4, "Empty the Trash when ready",
                  "The app remains recoverable in the Trash until you empty it. Files you created with Quillet+ are "
                  "never deleted by the uninstaller."}}),
          divider(),
          heading("If uninstall cannot finish"),
          paragraph(lt::kHelpManualUninstall)}});
    return content;
}

}  // namespace

HelpContent helpContent(const DesktopWords& words, const std::string& whereTheMenuIs) {
    HelpContent content = unfilledHelpContent(words.hasTray);
    fillWords(content, words);
    if (!whereTheMenuIs.empty()) {
        for (auto& section : content.sections)
            if (section.title == HelpContent::kExtensionSectionTitle)
                section.blocks.insert(section.blocks.begin(), paragraph(whereTheMenuIs));
    }
    return content;
}

}  // namespace quillet
