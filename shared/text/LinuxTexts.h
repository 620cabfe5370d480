#pragma once

// The texts whose original wording states a fact of another operating system: on Linux that
// would tell the user something false, so these are their Linux-true counterparts, in the same
// place and tone. Every such replacement lives here, so a reader finds all of them in one place.

namespace quillet::linuxtexts {

// The trash request succeeded without saying where the bundle went.
inline constexpr const char* kTrashMoveFailedNoLocation = "The system did not report a Trash location for Quillet+.";
// Followed by the underlying error's description.
inline constexpr const char* kTrashMoveFailedPrefix = "The system could not move Quillet+ to the Trash: ";
// Followed by the bundle's path and ".".
inline constexpr const char* kTrashMoveReportedNoResultPrefix =
    "The system finished the Trash request, but Quillet+ is still at ";

// The confirmation of "Uninstall Quillet+..." in a system install, which the user cannot remove:
// the package manager does. Replaces "This will move Quillet+ to the Trash, remove saved
// Quillet+ settings, and restart Finder so the Finder extension is unloaded.\n\nFiles you
// created with Quillet+ will not be removed." and the button "Uninstall".
inline constexpr const char* kSystemInstallUninstallInformativeText =
    "Quillet+ was installed for all users by the system's package manager, which removes the program "
    "(for the Debian package: sudo apt remove quillet). This will remove your saved Quillet+ settings, "
    "keep Quillet+ from starting when you log in, and quit it.\n\nFiles you created with Quillet+ will "
    "not be removed.";
inline constexpr const char* kSystemInstallUninstallButton = "Remove My Settings";

// The main window's tagline; the original ends "for macOS.".
inline constexpr const char* kMainWindowTagline = "The missing New File command for Linux.";

// Windows and cards. Each replaces one sentence that names a macOS facility Linux does not have:
// Nautilus shows the extension's menu in every local folder (not remote shares, Recent, search
// results or the Trash), it has no toolbar buttons for extensions, the extension is installed
// with the program and loads when Nautilus starts, and Quillet+ here is not sandboxed.

// "Enable the Quillet+ Finder extension for Finder context menus where macOS allows them."
inline constexpr const char* kExtensionStatusDetail =
    "The Quillet+ Finder extension adds Create File to Finder's context menu in every local folder.";
// "macOS blocks the right-click menu in OneDrive, Google Drive, iCloud Drive, Desktop, and
// Documents. To create files there, use either:"
inline constexpr const char* kGuideBlockedFolders =
    "Remote shares, Recent, search results, and the Trash have no right-click menu. To create files "
    "anywhere, use either:";
// "Add the **Create File** button to the Finder toolbar — it works in every folder. In Finder,
// choose **View ▸ Customize Toolbar…**, then drag the Create File button into the toolbar."
inline constexpr const char* kGuideTrayBullet =
    "Click the Quillet+ **tray icon** — it works in every folder. Choose **Create on Desktop** or "
    "**Create in Finder Folder**, then a file type.";

// "Create new blank files anywhere on your Mac — from Finder, the menu bar, or a keyboard
// shortcut. Here are the three ways to use it."
inline constexpr const char* kOnboardingWelcomeDetail =
    "Create new blank files anywhere on your computer — from Finder, the menu bar, or a keyboard "
    "shortcut. Here are the three ways to use it.";
// "The fastest way — in the folders macOS allows."
inline constexpr const char* kOnboardingRightClickSubtitle = "The fastest way — in every local folder.";
// "macOS blocks the right-click menu here — but two easy ways still work everywhere."
inline constexpr const char* kOnboardingBlockedSubtitle =
    "Finder shows the right-click menu here too — and two more ways work everywhere.";
// "1. Add the Finder toolbar button"
inline constexpr const char* kOnboardingTrayHeading = "1. Use the Quillet+ tray icon";
// "In Finder, choose **View ▸ Customize Toolbar…**, then drag the **Create File** button into
// the toolbar. It then works in every folder, including cloud and system folders."
inline constexpr const char* kOnboardingTrayText =
    "Click the Quillet+ icon in the tray, choose **Create on Desktop** or **Create in Finder Folder**, "
    "then a file type. It works in every folder, including remote and system folders.";

// "In Dropbox, Downloads, and your own folders, right-click and choose Create File. macOS
// doesn't allow this menu in OneDrive, Google Drive, iCloud Drive, Desktop, or Documents — use
// the toolbar button or shortcut there."
inline constexpr const char* kHelpRightClickCardDetail =
    "In any local folder, right-click the background or an item and choose Create File. Remote "
    "shares, Recent, search results, and the Trash have no such menu — use the tray icon or shortcut there.";
// "Finder toolbar button"
inline constexpr const char* kHelpTrayCardTitle = "Tray icon";
// "Add the Create File button to the Finder toolbar (View ▸ Customize Toolbar). Unlike the
// right-click menu, it works in every folder — including cloud and system folders."
inline constexpr const char* kHelpTrayCardDetail =
    "Finder has no toolbar button for extensions; the Quillet+ tray icon takes its place. Unlike the "
    "right-click menu, it works in every folder — including remote and system folders.";
// "Apple limits the Finder right-click menu to ordinary folders. Quillet+ gives you three ways
// to create files so you're covered everywhere:"
inline constexpr const char* kHelpWhereIntro =
    "Finder shows the right-click menu in every local folder. Quillet+ gives you three ways to create "
    "files so you're covered everywhere:";
// "Finder toolbar button — works everywhere"
inline constexpr const char* kHelpTrayRowTitle = "Tray icon — works everywhere";
// "OneDrive, Google Drive, iCloud Drive, Desktop, and Documents won't show the right-click menu
// (macOS reserves those for the system and cloud providers). The toolbar button is unaffected
// and works in all of them."
inline constexpr const char* kHelpTrayRowDetail =
    "Remote shares, Recent, search results, and the Trash won't show the right-click menu (they are not "
    "local folders). The tray icon is unaffected and creates on the Desktop or in the front Finder folder.";
// "Add the Finder toolbar button (one time)" and its three steps.
inline constexpr const char* kHelpTrayStepsHeading = "Use the tray icon (no setup)";
// "Open Customize Toolbar", "In Finder, choose View ▸ Customize Toolbar… (or right-click the
// toolbar and choose Customize Toolbar)."
inline constexpr const char* kHelpTrayStep1Title = "Open the tray menu";
inline constexpr const char* kHelpTrayStep1Detail =
    "Click the Quillet+ icon in the system tray or top bar (its menu also opens with a right click).";
// "Drag in Create File", "Find the Create File button in the sheet and drag it onto the
// toolbar, then click Done."
inline constexpr const char* kHelpTrayStep2Title = "Choose where";
inline constexpr const char* kHelpTrayStep2Detail =
    "Choose Create on Desktop, or Create in Finder Folder for the folder of the front Finder window.";
// "Click it in any folder", "Open any folder — including OneDrive, iCloud Drive, or Desktop —
// click Create File in the toolbar, and choose a file type."
inline constexpr const char* kHelpTrayStep3Title = "Pick a file type";
inline constexpr const char* kHelpTrayStep3Detail =
    "Open any folder — including remote shares or Desktop — in Finder, then choose a file type from "
    "the tray menu.";
// "Enable the extension", "Open System Settings, go to Login Items & Extensions, then enable
// Quillet+ Finder Extension under Finder extensions."
inline constexpr const char* kHelpExtensionStep1Title = "Check the extension is installed";
inline constexpr const char* kHelpExtensionStep1Detail =
    "There is nothing to enable: Quillet+ installs its Finder extension into Nautilus's extension "
    "folder, and Finder loads every extension it finds there.";
// "If Finder was already open, relaunch Finder or log out and back in so macOS loads the
// extension."
inline constexpr const char* kHelpExtensionStep2Detail =
    "If Finder was already open, quit it with nautilus -q (it starts again when opened) or log out and "
    "back in so Finder loads the extension.";
// "Because Quillet+ is sandboxed, macOS asks permission before it writes to a folder. You grant
// a folder once and Quillet+ remembers it."
inline constexpr const char* kHelpFolderAccessIntro =
    "Quillet+ on Linux is not sandboxed, so it writes wherever you can, without asking. Folders you "
    "grant once are still remembered.";
// "First create may prompt once", "The first time you create in a folder Quillet+ hasn't been
// granted, it asks for access, then remembers it for next time."
inline constexpr const char* kHelpFolderAccessStep4Title = "Creating never prompts";
inline constexpr const char* kHelpFolderAccessStep4Detail =
    "Creating in a folder Quillet+ hasn't been granted works at once, wherever your account may write, "
    "including /media/<user> and /run/media/<user>.";
// The Folder Access card's line under its title, outside a sandbox with no folder saved; the
// original "No saved folder roots." (with the grant buttons beside it) implies a grant is needed.
inline constexpr const char* kFolderAccessUnsandboxedSummary =
    "Quillet+ creates files wherever your account may write. No folder needs to be granted.";
// "Quit Quillet+, move Quillet+ from Applications to the Trash manually, then restart Finder or
// restart your Mac. This unloads the embedded Finder extension after the app bundle is gone."
inline constexpr const char* kHelpManualUninstall =
    "Quit Quillet+, move Quillet+ from Applications to the Trash manually, then quit Finder (nautilus -q) "
    "or log out and back in. This unloads the embedded Finder extension after the app bundle is gone.";

// Key combinations as Linux desktops spell them ("Ctrl+Alt+N"), in place of the symbols of a
// keyboard Linux does not have. The stored form keeps its own bits; only the shown text changes.
// Modifiers in the order they are written, each followed by "+": "\u2303" (control), "\u2325"
// (option), "\u21E7" (shift), "\u2318" (command, the Super key here).
inline constexpr const char* kControlKeyName = "Ctrl";
inline constexpr const char* kOptionKeyName = "Alt";
inline constexpr const char* kShiftKeyName = "Shift";
inline constexpr const char* kCommandKeyName = "Super";
// The combination's parts were joined by " + "; Linux desktops write "Ctrl+Alt+N".
inline constexpr const char* kKeySeparator = "+";
// Keys that had a symbol of their own: "\u21A9" return, "\u21E5" tab, "\u238B" escape, "\u232B"
// delete backwards, "\u2326" delete forwards, and the arrows "\u2190" "\u2192" "\u2191" "\u2193".
inline constexpr const char* kReturnKeyName = "Return";
inline constexpr const char* kTabKeyName = "Tab";
inline constexpr const char* kEscapeKeyName = "Esc";
inline constexpr const char* kBackspaceKeyName = "Backspace";
inline constexpr const char* kDeleteKeyName = "Delete";
inline constexpr const char* kLeftKeyName = "Left";
inline constexpr const char* kRightKeyName = "Right";
inline constexpr const char* kUpKeyName = "Up";
inline constexpr const char* kDownKeyName = "Down";
// The recorder's hint when a combination has no modifier that makes it safe system-wide;
// replaces "Add \u2318, \u2303, \u2325, or \u21E7" (Shift alone no longer counts).
inline constexpr const char* kRecorderModifierHint = "Add Ctrl, Alt, or Super";

}  // namespace quillet::linuxtexts
