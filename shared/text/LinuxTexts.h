#pragma once

#include "shared/text/Translation.h"

// The texts whose original wording states a fact of another operating system: on Linux that
// would tell the user something false, so these are their Linux-true counterparts, in the same
// place and tone. Every such replacement lives here, so a reader finds all of them in one place.
//
// Texts that name the file manager carry the placeholders of DesktopWords and are filled in with
// the session's words where they are shown: "{the file manager}" reads "Files" on GNOME, "Dolphin"
// on KDE and "the file manager" where the desktop is unknown. The destination the originals call
// "Finder Folder" is "{File Manager Folder}": "Files Folder", "Dolphin Folder", or "Open Folder"
// (the folder of the front file manager window) when the file manager is unknown; every picker,
// menu item and text that names that destination uses it, so they always agree.

namespace quillet::linuxtexts {

// The trash request succeeded without saying where the bundle went.
inline constexpr const char* kTrashMoveFailedNoLocation =
    N_("The system did not report a Trash location for Quillet+.");
// Followed by the underlying error's description.
inline constexpr const char* kTrashMoveFailedPrefix = N_("The system could not move Quillet+ to the Trash: ");
// Followed by the bundle's path and ".".
inline constexpr const char* kTrashMoveReportedNoResultPrefix =
    N_("The system finished the Trash request, but Quillet+ is still at ");

// The confirmation of "Uninstall Quillet+..." in a system install, which the user cannot remove:
// the package manager does. Replaces "This will move Quillet+ to the Trash, remove saved
// Quillet+ settings, and restart Finder so the Finder extension is unloaded.\n\nFiles you
// created with Quillet+ will not be removed." and the button "Uninstall".
inline constexpr const char* kSystemInstallUninstallInformativeText =
    N_("Quillet+ was installed for all users by the system's package manager, which removes the program "
       "(for the Debian package: sudo apt remove quillet). This will remove your saved Quillet+ settings, "
       "keep Quillet+ from starting when you log in, and quit it.\n\nFiles you created with Quillet+ will "
       "not be removed.");
inline constexpr const char* kSystemInstallUninstallButton = N_("Remove My Settings");

// The main window's tagline; the original ends "for macOS.".
inline constexpr const char* kMainWindowTagline = N_("The missing New File command for Linux.");

// Windows and cards. Each replaces one sentence that names a macOS facility Linux does not have:
// Nautilus shows the extension's menu in every local folder (not remote shares, Recent, search
// results or the Trash), it has no toolbar buttons for extensions, the extension is installed
// with the program and loads when Nautilus starts, and Quillet+ here is not sandboxed.

// "Finder Extension": the card of the file manager's menu, which is an extension module in GNOME
// Files and a service menu in Dolphin.
inline constexpr const char* kExtensionStatusTitle = N_("File Manager Menu");
// "Enable the Quillet+ Finder extension for Finder context menus where macOS allows them."
inline constexpr const char* kExtensionStatusDetail =
    N_("Quillet+ adds Create File to the right-click menu of Files (GNOME), Nemo (Cinnamon), Caja (MATE), "
       "Thunar (Xfce), Dolphin (KDE) and PCManFM-Qt (LXQt) in every local folder.");
// "Move the app to the Trash, remove saved settings, and restart Finder so the Finder extension is
// unloaded."
inline constexpr const char* kUninstallCardDetail =
    N_("Move the app to the Trash, remove saved settings, and take Create File out of {the file manager}.");
// "Press **<shortcut>** to open Quick Create, or use the menu-bar icon." (%1 is the shortcut)
inline constexpr const char* kGuideKeyboardLine = N_("Press **%1** to open Quick Create, or use the tray icon.");
// "macOS blocks the right-click menu in OneDrive, Google Drive, iCloud Drive, Desktop, and
// Documents. To create files there, use either:"
inline constexpr const char* kGuideBlockedFolders =
    N_("Remote shares, Recent, search results, and the Trash have no right-click menu. To create files "
       "anywhere, use either:");
// "Add the **Create File** button to the Finder toolbar — it works in every folder. In Finder,
// choose **View ▸ Customize Toolbar…**, then drag the Create File button into the toolbar."
inline constexpr const char* kGuideTrayBullet =
    N_("Click the Quillet+ **tray icon** — it works in every folder. Choose **Create on Desktop** or "
       "**Create in {File Manager Folder}**, then a file type.");

// "Create new blank files anywhere on your Mac — from Finder, the menu bar, or a keyboard
// shortcut. Here are the three ways to use it."
inline constexpr const char* kOnboardingWelcomeDetail =
    N_("Create new blank files anywhere on your computer — from {the file manager}, the tray, or a keyboard "
       "shortcut. Here are the three ways to use it.");
// "The fastest way — in the folders macOS allows."
inline constexpr const char* kOnboardingRightClickSubtitle = N_("The fastest way — in every local folder.");
// "Right-click in Finder"
inline constexpr const char* kOnboardingRightClickTitle = N_("Right-click in {the file manager}");
// "OneDrive, iCloud, Desktop & Documents": the places without the right-click menu here.
inline constexpr const char* kOnboardingBlockedTitle = N_("Remote shares, Recent & Trash");
// "macOS blocks the right-click menu here — but two easy ways still work everywhere."
inline constexpr const char* kOnboardingBlockedSubtitle =
    N_("{The file manager} shows no right-click menu there — but two easy ways still work everywhere.");
// "1. Add the Finder toolbar button"
inline constexpr const char* kOnboardingTrayHeading = N_("1. Use the Quillet+ tray icon");
// "In Finder, choose **View ▸ Customize Toolbar…**, then drag the **Create File** button into
// the toolbar. It then works in every folder, including cloud and system folders."
inline constexpr const char* kOnboardingTrayText =
    N_("Click the Quillet+ icon in the tray, choose **Create on Desktop** or **Create in {File Manager Folder}**, "
       "then a file type. It works in every folder, including remote and system folders.");

// "In Dropbox, Downloads, and your own folders, right-click and choose Create File. macOS
// doesn't allow this menu in OneDrive, Google Drive, iCloud Drive, Desktop, or Documents — use
// the toolbar button or shortcut there."
inline constexpr const char* kHelpRightClickCardDetail =
    N_("In any local folder, right-click the background or an item and choose Create File. Remote "
       "shares, Recent, search results, and the Trash have no such menu — use the tray icon or shortcut there.");
// "Finder toolbar button"
inline constexpr const char* kHelpTrayCardTitle = N_("Tray icon");
// "Add the Create File button to the Finder toolbar (View ▸ Customize Toolbar). Unlike the
// right-click menu, it works in every folder — including cloud and system folders."
inline constexpr const char* kHelpTrayCardDetail =
    N_("{The file manager} has no toolbar button for Quillet+; the Quillet+ tray icon takes its place. Unlike "
       "the right-click menu, it works in every folder — including remote and system folders.");
// "Apple limits the Finder right-click menu to ordinary folders. Quillet+ gives you three ways
// to create files so you're covered everywhere:"
inline constexpr const char* kHelpWhereIntro =
    N_("{The file manager} shows the right-click menu in every local folder. Quillet+ gives you three ways to create "
       "files so you're covered everywhere:");
// "Finder toolbar button — works everywhere"
inline constexpr const char* kHelpTrayRowTitle = N_("Tray icon — works everywhere");
// "OneDrive, Google Drive, iCloud Drive, Desktop, and Documents won't show the right-click menu
// (macOS reserves those for the system and cloud providers). The toolbar button is unaffected
// and works in all of them."
inline constexpr const char* kHelpTrayRowDetail =
    N_("Remote shares, Recent, search results, and the Trash won't show the right-click menu (they are not "
       "local folders). The tray icon is unaffected and creates on the Desktop or in the folder of the front "
       "{file manager} window.");
// "Add the Finder toolbar button (one time)" and its three steps.
inline constexpr const char* kHelpTrayStepsHeading = N_("Use the tray icon (no setup)");
// "Open Customize Toolbar", "In Finder, choose View ▸ Customize Toolbar… (or right-click the
// toolbar and choose Customize Toolbar)."
inline constexpr const char* kHelpTrayStep1Title = N_("Open the tray menu");
inline constexpr const char* kHelpTrayStep1Detail =
    N_("Click the Quillet+ icon in the system tray or top bar (its menu also opens with a right click).");
// "Drag in Create File", "Find the Create File button in the sheet and drag it onto the
// toolbar, then click Done."
inline constexpr const char* kHelpTrayStep2Title = N_("Choose where");
inline constexpr const char* kHelpTrayStep2Detail =
    N_("Choose Create on Desktop, or Create in {File Manager Folder} for the folder of the front {file manager} "
       "window.");
// "Click it in any folder", "Open any folder — including OneDrive, iCloud Drive, or Desktop —
// click Create File in the toolbar, and choose a file type."
inline constexpr const char* kHelpTrayStep3Title = N_("Pick a file type");
inline constexpr const char* kHelpTrayStep3Detail =
    N_("Open any folder — including remote shares or Desktop — in {the file manager}, then choose a file type from "
       "the tray menu.");
// "Enable the extension", "Open System Settings, go to Login Items & Extensions, then enable
// Quillet+ Finder Extension under Finder extensions."
inline constexpr const char* kHelpExtensionStep1Title = N_("Check the extension is installed");
inline constexpr const char* kHelpExtensionStep1Detail =
    N_("There is nothing to enable: the installed Quillet+ puts a module in the extension folder of GNOME "
       "Files, which loads every module it finds there, and keeps a service menu for Dolphin and actions for "
       "PCManFM-Qt in your data folder.");
// "Restart Finder if the menu is missing"
inline constexpr const char* kHelpExtensionStep2Title = N_("Restart {the file manager} if the menu is missing");
// "If Finder was already open, relaunch Finder or log out and back in so macOS loads the
// extension."
inline constexpr const char* kHelpExtensionStep2Detail =
    N_("If {the file manager} was already open when Quillet+ was installed, quit it (GNOME Files: nautilus -q; "
       "it starts again when opened) or log out and back in so it loads the menu. PCManFM-Qt reads the menu "
       "when it starts, so an open one shows changed file types once it is started again.");
// "Right-click in a Finder folder background or on an item inside a folder. If Quillet+ cannot
// read the target, it falls back to the Desktop."
inline constexpr const char* kHelpExtensionStep3Detail =
    N_("Right-click a folder's background in {the file manager}, or an item inside a folder. If Quillet+ cannot "
       "read the target, it falls back to the Desktop.");
// "Because Quillet+ is sandboxed, macOS asks permission before it writes to a folder. You grant
// a folder once and Quillet+ remembers it."
inline constexpr const char* kHelpFolderAccessIntro =
    N_("Quillet+ on Linux is not sandboxed, so it writes wherever you can, without asking. Folders you "
       "grant once are still remembered.");
// "First create may prompt once", "The first time you create in a folder Quillet+ hasn't been
// granted, it asks for access, then remembers it for next time."
inline constexpr const char* kHelpFolderAccessStep4Title = N_("Creating never prompts");
inline constexpr const char* kHelpFolderAccessStep4Detail =
    N_("Creating in a folder Quillet+ hasn't been granted works at once, wherever your account may write, "
       "including /media/<user> and /run/media/<user>.");
// The Folder Access card's line under its title, outside a sandbox with no folder saved; the
// original "No saved folder roots." (with the grant buttons beside it) implies a grant is needed.
inline constexpr const char* kFolderAccessUnsandboxedSummary =
    N_("Quillet+ creates files wherever your account may write. No folder needs to be granted.");
// "Quit Quillet+, move Quillet+ from Applications to the Trash manually, then restart Finder or
// restart your Mac. This unloads the embedded Finder extension after the app bundle is gone."
inline constexpr const char* kHelpManualUninstall =
    N_("Quit Quillet+, move ~/Applications/Quillet+.app to the Trash manually (a package install: sudo apt "
       "remove quillet), then log out and back in. {The file manager} then no longer offers Create File.");

// Where the desktop shows no tray, the texts that send the user to the tray icon send them to the
// Quick Create action of Quillet+'s own icon among the applications instead; each replaces the
// same original as its tray counterpart above.
inline constexpr const char* kOnboardingWelcomeDetailNoTray =
    N_("Create new blank files anywhere on your computer — from {the file manager}, the Quillet+ icon, or a "
       "keyboard shortcut. Here are the three ways to use it.");
inline constexpr const char* kOnboardingNoTrayHeading = N_("1. Use Quick Create from the Quillet+ icon");
inline constexpr const char* kOnboardingNoTrayText =
    N_("This desktop shows no tray. Right-click Quillet+ among your applications (or in the dash), choose "
       "**Quick Create**, then a file type. It works in every folder, including remote and system folders.");
inline constexpr const char* kGuideNoTrayBullet =
    N_("Right-click the Quillet+ **icon** among your applications and choose **Quick Create** — it works in every "
       "folder. Choose **Desktop** or **{File Manager Folder}**, then a file type.");
inline constexpr const char* kGuideKeyboardLineNoTray = N_("Press **%1** to open Quick Create.");
// The help's texts on the tray icon, likewise.
inline constexpr const char* kHelpSubtitleNoTray =
    N_("Create new blank files from {the file manager}, the Quillet+ icon, or a keyboard shortcut.");
inline constexpr const char* kHelpRightClickCardDetailNoTray =
    N_("In any local folder, right-click the background or an item and choose Create File. Remote shares, Recent, "
       "search results, and the Trash have no such menu — use the Quillet+ icon or shortcut there.");
inline constexpr const char* kHelpNoTrayCardTitle = N_("Quillet+ icon");
inline constexpr const char* kHelpNoTrayCardDetail =
    N_("This desktop shows no tray: right-click the Quillet+ icon among your applications and choose Quick "
       "Create. Unlike the right-click menu, it works in every folder — including remote and system folders.");
inline constexpr const char* kHelpTypesCardTitleNoTray = N_("File types");
inline constexpr const char* kHelpTypesCardDetailNoTray =
    N_("Turn file types on or off in the main window — every menu follows the enabled list.");
inline constexpr const char* kHelpNoTrayRowTitle = N_("Quillet+ icon — works everywhere");
inline constexpr const char* kHelpNoTrayRowDetail =
    N_("Remote shares, Recent, search results, and the Trash won't show the right-click menu (they are not "
       "local folders). Quick Create from the Quillet+ icon is unaffected and creates on the Desktop or in the "
       "folder of the front {file manager} window.");
inline constexpr const char* kHelpShortcutRowDetailNoTray =
    N_("The keyboard shortcut and the Quillet+ icon create through the app, so they work in every folder with "
       "no {file manager} setup.");
inline constexpr const char* kHelpNoTrayStepsHeading = N_("Use the Quillet+ icon (no setup)");
inline constexpr const char* kHelpNoTrayStep1Title = N_("Find Quillet+");
inline constexpr const char* kHelpNoTrayStep1Detail =
    N_("Open the list of your applications (or the dash) and right-click the Quillet+ icon.");
inline constexpr const char* kHelpNoTrayStep2Title = N_("Choose Quick Create");
inline constexpr const char* kHelpNoTrayStep2Detail =
    N_("The Quick Create panel opens: choose Desktop, or {File Manager Folder} for the folder of the front "
       "{file manager} window.");
inline constexpr const char* kHelpNoTrayStep3Detail = N_("Type to filter, then click a file type.");
inline constexpr const char* kHelpUninstallStep1DetailNoTray =
    N_("Choose Uninstall Quillet+ from the main window or its File menu.");

// The help's other sentences that named Finder, the menu bar, iCloud or the app bundle.
// "Create new blank files from Finder, the menu bar, or a keyboard shortcut."
inline constexpr const char* kHelpSubtitle =
    N_("Create new blank files from {the file manager}, the tray, or a keyboard shortcut.");
// "Right-click in Finder" (the help's first card)
inline constexpr const char* kHelpRightClickCardTitle = N_("Right-click in {the file manager}");
// "Menu bar & file types", "Create from the Quillet+ menu bar icon too. Turn file types on or
// off in the main window — every menu follows the enabled list."
inline constexpr const char* kHelpTrayAndTypesCardTitle = N_("Tray & file types");
inline constexpr const char* kHelpTrayAndTypesCardDetail =
    N_("Create from the Quillet+ tray icon too. Turn file types on or off in the main window — every menu "
       "follows the enabled list.");
// "The keyboard shortcut and menu bar icon create through the app, so they work in every folder
// with no Finder setup."
inline constexpr const char* kHelpShortcutRowDetail =
    N_("The keyboard shortcut and tray icon create through the app, so they work in every folder with no "
       "{file manager} setup.");
// "Finder Extension Troubleshooting"
inline constexpr const char* kHelpExtensionSectionTitle = N_("File Manager Menu Troubleshooting");
// "Use Folder Access ▸ Add Cloud Folders to grant Dropbox, OneDrive, Google Drive, or iCloud
// Drive. Granting a cloud folder once covers all of its subfolders — you won't be asked again."
inline constexpr const char* kHelpCloudFoldersDetail =
    N_("Use Folder Access ▸ Add Cloud Folders to grant Dropbox, Nextcloud, or another synced folder. Granting a "
       "cloud folder once covers all of its subfolders — you won't be asked again.");
// "New files start as Untitled with the matching extension. If a file already exists, Quillet+
// follows Finder-style numbering such as Untitled 2, Untitled 3, and so on."
inline constexpr const char* kHelpFileNaming =
    N_("New files start as Untitled with the matching extension. If a file already exists, Quillet+ "
       "numbers the new one as file managers do: Untitled 2, Untitled 3, and so on.");
// "Choose Uninstall Quillet+ from the main window, the Quillet+ app menu, or the Quillet+ menu
// bar extra."
inline constexpr const char* kHelpUninstallStep1Detail =
    N_("Choose Uninstall Quillet+ from the main window, its File menu, or the menu of the Quillet+ tray icon.");
// "The confirmation explains that the app will be moved to the Trash, saved Quillet+ settings
// will be removed, and Finder will restart."
inline constexpr const char* kHelpUninstallStep2Detail =
    N_("The confirmation explains that the app will be moved to the Trash, saved Quillet+ settings will be "
       "removed, and Create File will leave {the file manager}.");
// "Quillet+ unregisters the Quick Create shortcut, restarts Finder to unload the Finder
// extension, moves the app bundle to the Trash, removes saved settings, then quits."
inline constexpr const char* kHelpUninstallStep3Detail =
    N_("Quillet+ unregisters the Quick Create shortcut, restarts GNOME Files if it runs so it unloads the "
       "Quillet+ module, moves ~/Applications/Quillet+.app to the Trash, removes saved settings, then quits.");

// The walkthrough's sentences on Quick Create.
// "Create a file from anywhere — no Finder window needed."
inline constexpr const char* kOnboardingQuickCreateSubtitle =
    N_("Create a file from anywhere — no {file manager} window needed.");
// "Choose a destination: **Desktop**, or the **front Finder folder** you're viewing."
inline constexpr const char* kOnboardingQuickCreateDestination =
    N_("Choose a destination: **Desktop**, or the folder of the **front {file manager} window** you're viewing.");
// "Type to filter, then click a file type — it's created instantly and revealed in Finder."
inline constexpr const char* kOnboardingQuickCreateFilter =
    N_("Type to filter, then click a file type — it's created instantly and shown in {the file manager}.");
// The mock context menu's last item, "Get Info": its Linux counterpart.
inline constexpr const char* kOnboardingMenuLastItem = N_("Properties");

// Where files go: the destination "Finder Folder", the tray's "Create in Finder Folder" and the
// Quick Create panel's "Front Finder folder".
inline constexpr const char* kFrontFolderDestinationTitle = N_("{File Manager Folder}");
inline constexpr const char* kCreateInFrontFolderTitle = N_("Create in {File Manager Folder}");
inline constexpr const char* kFrontFolderDetail = N_("Folder of the front {file manager} window");

// App Presence: the Dock is the taskbar (the windows are listed there) and the menu bar the
// tray. The stored values stay dockAndMenuBar, dockOnly and menuBarOnly.
// "Dock + Menu", "Dock", "Menu Bar"
inline constexpr const char* kPresenceBothTitle = N_("Taskbar + Tray");
inline constexpr const char* kPresenceTaskbarTitle = N_("Taskbar");
inline constexpr const char* kPresenceTrayTitle = N_("Tray");
// "Show Quillet+ in the Dock and the menu bar.", "Show Quillet+ in the Dock only.", "Keep
// Quillet+ available from the menu bar only."
inline constexpr const char* kPresenceBothDescription = N_("Show Quillet+ in the taskbar and the tray.");
inline constexpr const char* kPresenceTaskbarDescription = N_("Show Quillet+ in the taskbar only.");
inline constexpr const char* kPresenceTrayDescription = N_("Keep Quillet+ available from the tray only.");

// The main window's menus follow Linux: no application menu named "Quillet+"; its items move to
// File (Uninstall, Quit with Ctrl+Q) and Help (About at the bottom, Check for Updates above it).
// "Quillet+ Help" (the Help menu's first item, F1)
inline constexpr const char* kHelpMenuHelpItem = N_("Help");

// The uninstaller. "This will move Quillet+ to the Trash, remove saved Quillet+ settings, and
// restart Finder so the Finder extension is unloaded.\n\nFiles you created with Quillet+ will not
// be removed."
inline constexpr const char* kUninstallInformativeText =
    N_("This will move Quillet+ to the Trash, remove saved Quillet+ settings, and restart GNOME Files if it "
       "runs, and any other file manager that has the Quillet+ module loaded, so they let go of it.\n\nFiles you "
       "created with Quillet+ will not be removed.");
// "Finder could not move Quillet+ to the Trash." (the attempt through GNOME Files's D-Bus)
inline constexpr const char* kFileManagerTrashFailed = N_("GNOME Files could not move Quillet+ to the Trash.");
// "Quillet+ could not prepare the Finder uninstall request."
inline constexpr const char* kFileManagerRequestFailed = N_("Quillet+ could not prepare the request to GNOME Files.");
// "Quit Quillet+, move the app to the Trash manually, then restart Finder to unload the Finder
// extension."
inline constexpr const char* kUninstallRecoverySuggestion =
    N_("Quit Quillet+, move the app to the Trash manually, then log out and back in so the file manager "
       "lets go of its Create File menu.");
// The three ways of moving the app to the Trash, as the failure text lists them (the log keeps
// "FileManager", "NSWorkspace" and "Finder"): Qt's, GIO's, and GNOME Files's over D-Bus.
inline constexpr const char* kTrashWayQtName = "Qt";
inline constexpr const char* kTrashWayGioName = "GIO";
inline constexpr const char* kTrashWayFileManagerName = N_("GNOME Files");
// "Quillet+ is not running from an application bundle: " (followed by the program's path)
inline constexpr const char* kNotRunningFromBundlePrefix =
    N_("Quillet+ is not running from a per-user install (~/Applications/Quillet+.app): ");

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
inline constexpr const char* kRecorderModifierHint = N_("Add Ctrl, Alt, or Super");

}  // namespace quillet::linuxtexts
