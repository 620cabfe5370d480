#include "app/windows/HelpContent.h"

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

}  // namespace

HelpContent helpContent() {
    HelpContent content;
    content.cards = {
        {"filemenu.and.cursorarrow", "Right-click in Finder", lt::kHelpRightClickCardDetail},
        {"macwindow.on.rectangle", lt::kHelpTrayCardTitle, lt::kHelpTrayCardDetail},
        {"keyboard", "Quick Create shortcut",
         "Press your Quick Create shortcut to open the file picker, search by type or extension, and choose the "
         "destination. Works in every folder, with no setup."},
        {"menubar.rectangle", "Menu bar & file types",
         "Create from the Quillet+ menu bar icon too. Turn file types on or off in the main window — every menu "
         "follows the enabled list."},
    };

    content.sections.push_back(
        {"square.grid.2x2",
         "Where Create File Works",
         {paragraph(lt::kHelpWhereIntro),
          row({"checkmark.circle.fill", HelpTint::green, "Right-click menu",
               "Dropbox, Downloads, and folders you own (your home folder and its regular subfolders)."}),
          row({"macwindow.on.rectangle", HelpTint::accent, lt::kHelpTrayRowTitle, lt::kHelpTrayRowDetail}),
          row({"keyboard", HelpTint::accent, "Quick Create shortcut — works everywhere",
               "The keyboard shortcut and menu bar icon create through the app, so they work in every folder with "
               "no Finder setup."}),
          divider(),
          heading(lt::kHelpTrayStepsHeading),
          steps({{1, lt::kHelpTrayStep1Title, lt::kHelpTrayStep1Detail},
                 {2, lt::kHelpTrayStep2Title, lt::kHelpTrayStep2Detail},
                 {3, lt::kHelpTrayStep3Title, lt::kHelpTrayStep3Detail}})}});

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
                 {2, "Restart Finder if the menu is missing", lt::kHelpExtensionStep2Detail},
                 {3, "Use a real folder target",
                  "Right-click in a Finder folder background or on an item inside a folder. If Quillet+ cannot read "
                  "the target, it falls back to the Desktop."}})}});

    content.sections.push_back(
        {"folder.badge.gearshape",
         "Folder Access",
         {paragraph(lt::kHelpFolderAccessIntro),
          steps({{1, "Grant your home folder once",
                  "In the main window, use Folder Access ▸ Grant Home Folder. Quillet+ stores a secure bookmark and "
                  "reuses it for folders you own, including Desktop, Documents, and Downloads."},
                 {2, "Add cloud folders",
                  "Use Folder Access ▸ Add Cloud Folders to grant Dropbox, OneDrive, Google Drive, or iCloud Drive. "
                  "Granting a cloud folder once covers all of its subfolders — you won't be asked again."},
                 {3, "Add external volumes separately",
                  "External drives and mounted volumes live outside your home folder. Add those volume roots from "
                  "Folder Access when you want to create files there."},
                 {4, lt::kHelpFolderAccessStep4Title, lt::kHelpFolderAccessStep4Detail}})}});

    content.sections.push_back(
        {"textformat",
         "File Naming",
         {paragraph("New files start as Untitled with the matching extension. If a file already exists, Quillet+ "
                    "follows Finder-style numbering such as Untitled 2, Untitled 3, and so on.")}});

    content.sections.push_back(
        {"trash",
         "Uninstalling",
         {steps({{1, "Start the uninstaller",
                  "Choose Uninstall Quillet+ from the main window, the Quillet+ app menu, or the Quillet+ menu bar "
                  "extra."},
                 {2, "Confirm the warning",
                  "The confirmation explains that the app will be moved to the Trash, saved Quillet+ settings will "
                  "be removed, and Finder will restart."},
                 {3, "Let Quillet+ clean up",
                  "Quillet+ unregisters the Quick Create shortcut, restarts Finder to unload the Finder extension, "
                  "moves the app bundle to the Trash, removes saved settings, then quits."},
                 {4, "Empty the Trash when ready",
                  "The app remains recoverable in the Trash until you empty it. Files you created with Quillet+ are "
                  "never deleted by the uninstaller."}}),
          divider(),
          heading("If uninstall cannot finish"),
          paragraph(lt::kHelpManualUninstall)}});
    return content;
}

}  // namespace quillet
