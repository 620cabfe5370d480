#include "app/windows/HelpContent.h"

#include "shared/text/DesktopWords.h"
#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

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

// Every text of the page in the session's language, with the file manager's placeholders filled in.
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
            for (HelpFileTypeGroup& group : block.groups) {
                group.title = translate(group.title.c_str());
                for (std::string& item : group.items) item = translate(item.c_str());
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
        {"keyboard", N_("Quick Create shortcut"),
         N_("Press your Quick Create shortcut to open the file picker, search by type or extension, and choose the "
         "destination. Works in every folder, with no setup.")},
        {"menubar.rectangle", tray ? lt::kHelpTrayAndTypesCardTitle : lt::kHelpTypesCardTitleNoTray,
         tray ? lt::kHelpTrayAndTypesCardDetail : lt::kHelpTypesCardDetailNoTray},
    };

    content.sections.push_back(
        {"square.grid.2x2",
         N_("Where Create File Works"),
         {paragraph(lt::kHelpWhereIntro),
          row({"checkmark.circle.fill", HelpTint::green, N_("Right-click menu"),
               N_("Dropbox, Downloads, and folders you own (your home folder and its regular subfolders).")}),
          row({"macwindow.on.rectangle", HelpTint::accent, tray ? lt::kHelpTrayRowTitle : lt::kHelpNoTrayRowTitle,
               tray ? lt::kHelpTrayRowDetail : lt::kHelpNoTrayRowDetail}),
          row({"keyboard", HelpTint::accent, N_("Quick Create shortcut — works everywhere"),
               tray ? lt::kHelpShortcutRowDetail : lt::kHelpShortcutRowDetailNoTray}),
          divider(),
          heading(tray ? lt::kHelpTrayStepsHeading : lt::kHelpNoTrayStepsHeading),
          steps(tray ? trayStepList : appIconStepList)}});

    content.sections.push_back(
        {"doc.badge.plus",
         N_("Supported Files"),
         {groups({{N_("Plain Text"), {N_(".txt Text"), ".md Markdown", N_(".rtf Rich Text"), ".csv CSV"}},
                  {N_("Code"),
                   {".json JSON", ".yaml YAML", ".xml XML", ".html HTML", ".css CSS", ".js JavaScript",
                    N_(".sh Shell Script"), ".py Python", ".swift Swift"}},
                  {N_("Office"), {N_(".docx Word Document"), N_(".xlsx Excel Spreadsheet"), N_(".pptx PowerPoint Presentation")}}})}});

    content.sections.push_back(
        {"puzzlepiece.extension",
         HelpContent::kExtensionSectionTitle,
         {steps({{1, lt::kHelpExtensionStep1Title, lt::kHelpExtensionStep1Detail},
                 {2, lt::kHelpExtensionStep2Title, lt::kHelpExtensionStep2Detail},
                 {3, N_("Use a real folder target"), lt::kHelpExtensionStep3Detail}})}});

    content.sections.push_back(
        {"folder.badge.gearshape",
         N_("Folder Access"),
         {paragraph(lt::kHelpFolderAccessIntro),
          steps({{1, N_("Grant your home folder once"),
                  N_("In the main window, use Folder Access ▸ Grant Home Folder. Quillet+ stores a secure bookmark and "
                  "reuses it for folders you own, including Desktop, Documents, and Downloads.")},
                 {2, N_("Add cloud folders"), lt::kHelpCloudFoldersDetail},
                 {3, N_("Add external volumes separately"),
                  N_("External drives and mounted volumes live outside your home folder. Add those volume roots from "
                  "Folder Access when you want to create files there.")},
                 {4, lt::kHelpFolderAccessStep4Title, lt::kHelpFolderAccessStep4Detail}})}});

    content.sections.push_back(
        {"textformat",
         N_("File Naming"),
         {paragraph(lt::kHelpFileNaming)}});

    content.sections.push_back(
        {"trash",
         N_("Uninstalling"),
         {steps({{1, N_("Start the uninstaller"),
                  tray ? lt::kHelpUninstallStep1Detail : lt::kHelpUninstallStep1DetailNoTray},
                 {2, N_("Confirm the warning"), lt::kHelpUninstallStep2Detail},
                 {3, N_("Let Quillet+ clean up"), lt::kHelpUninstallStep3Detail},
                 {4, N_("Empty the Trash when ready"),
                  N_("The app remains recoverable in the Trash until you empty it. Files you created with Quillet+ are "
                  "never deleted by the uninstaller.")}}),
          divider(),
          heading(N_("If uninstall cannot finish")),
          paragraph(lt::kHelpManualUninstall)}});
    return content;
}

}  // namespace

HelpContent helpContent(const DesktopWords& words, const std::string& whereTheMenuIs) {
    HelpContent content = unfilledHelpContent(words.hasTray);
    fillWords(content, words);
    if (!whereTheMenuIs.empty()) {
        const std::string extensionSectionTitle = words.fill(HelpContent::kExtensionSectionTitle);
        for (auto& section : content.sections)
            if (section.title == extensionSectionTitle)
                section.blocks.insert(section.blocks.begin(), paragraph(whereTheMenuIs));
    }
    return content;
}

}  // namespace quillet
