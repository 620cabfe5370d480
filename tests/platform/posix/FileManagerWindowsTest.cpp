#include <gtest/gtest.h>

#include "platform/posix/FileManagerWindows.h"

using namespace quillet;

namespace {
FileManagerWindow nautilus(std::string path, std::string title, bool hidden = false) {
    return {"org.gnome.Nautilus", std::move(path), std::move(title), hidden};
}
FileManagerWindow other(std::string windowClass) { return {std::move(windowClass), "", "Terminal", false}; }
}  // namespace

TEST(FileURI, LocalFileURIsDecodeToStandardizedPaths) {
    EXPECT_EQ(pathFromFileURI("file:///tmp/Reports%20Q"), std::filesystem::path("/tmp/Reports Q"));
    EXPECT_EQ(pathFromFileURI("FILE://localhost/home/me/a%2Fb/"), std::filesystem::path("/home/me/a/b"));
    EXPECT_EQ(pathFromFileURI("file:///home/me/%C3%9Cbersicht%20%2350%25"),
              std::filesystem::path("/home/me/\xC3\x9C" "bersicht #50%"));
    EXPECT_EQ(pathFromFileURI("file:///"), std::filesystem::path("/"));
    EXPECT_EQ(pathFromFileURI("file:///a/./b/../c"), std::filesystem::path("/a/c"));
}

TEST(FileURI, AnythingButALocalPathGivesNothing) {
    for (const char* uri : {"trash:///", "recent:///", "sftp://host/home", "file://otherhost/etc",
                            "file:relative", "file://", "file:///bad%2", "file:///bad%zz",
                            "file:///nul%00byte", "file:///a?b", "file:///a#b", "/tmp/plain", ""})
        EXPECT_EQ(pathFromFileURI(uri), std::nullopt) << uri;
}

TEST(FrontFileManagerWindow, WalksFromTheTopPastOtherWindowsDialogsAndMinimisedOnes) {
    std::vector<FileManagerWindow> stack{
        other("XTerm"),
        {"org.gnome.Nautilus", "", "Properties", false},  // a dialog: no object path
        nautilus("/org/gnome/Nautilus/window/3", "Hidden", true),
        nautilus("/org/gnome/Nautilus/window/2", "Reports"),
        nautilus("/org/gnome/Nautilus/window/1", "Older"),
    };
    EXPECT_EQ(frontFileManagerWindow(stack), 3u);
    EXPECT_EQ(frontFileManagerWindow({other("XTerm"), other("Firefox")}), std::nullopt);
    EXPECT_EQ(frontFileManagerWindow({}), std::nullopt);
    // Another program's window class, even one that looks alike, is not the file manager.
    EXPECT_EQ(frontFileManagerWindow({{"org.gnome.nautilus", "/x", "Reports", false}}), std::nullopt);
}

TEST(FrontFileManagerWindow, OneTabGivesItsFolderWhateverTheTitle) {
    FileManagerLocations locations{{"/org/gnome/Nautilus/window/1", {"file:///home/me/Reports%20Q"}},
                                   {"/org/gnome/Nautilus/window/2", {"file:///srv"}}};
    EXPECT_EQ(frontFolderAmong({nautilus("/org/gnome/Nautilus/window/1", "Home")}, locations),
              std::filesystem::path("/home/me/Reports Q"));
    EXPECT_EQ(frontFolderAmong({other("XTerm"), nautilus("/org/gnome/Nautilus/window/2", "srv"),
                                nautilus("/org/gnome/Nautilus/window/1", "Reports Q")},
                               locations),
              std::filesystem::path("/srv"));
    // The front window is unknown to the file manager: nothing, not a window further down.
    EXPECT_EQ(frontFolderAmong({nautilus("/org/gnome/Nautilus/window/9", "New"),
                                nautilus("/org/gnome/Nautilus/window/1", "Reports Q")},
                               locations),
              std::nullopt);
    EXPECT_EQ(frontFolderAmong({nautilus("/org/gnome/Nautilus/window/1", "Trash")},
                               {{"/org/gnome/Nautilus/window/1", {"trash:///"}}}),
              std::nullopt);
    EXPECT_EQ(frontFolderAmong({nautilus("/org/gnome/Nautilus/window/1", "x")},
                               {{"/org/gnome/Nautilus/window/1", {}}}),
              std::nullopt);
}

TEST(FrontFileManagerWindow, SeveralTabsPickTheOneTheTitleNames) {
    const std::string path = "/org/gnome/Nautilus/window/1";
    FileManagerLocations locations{{path, {"file:///home/me/Music", "file:///home/me/Reports%20Q", "trash:///"}}};
    EXPECT_EQ(frontFolderAmong({nautilus(path, "Reports Q")}, locations), std::filesystem::path("/home/me/Reports Q"));
    EXPECT_EQ(frontFolderAmong({nautilus(path, "Music")}, locations), std::filesystem::path("/home/me/Music"));
    EXPECT_EQ(frontFolderAmong({nautilus(path, "Trash")}, locations), std::nullopt);
    EXPECT_EQ(frontFolderAmong({nautilus(path, "Reports")}, locations), std::nullopt);
    // Two tabs on folders of the same name cannot be told apart; two tabs on one folder can.
    EXPECT_EQ(frontFolderAmong({nautilus(path, "Docs")}, {{path, {"file:///a/Docs", "file:///b/Docs"}}}),
              std::nullopt);
    EXPECT_EQ(frontFolderAmong({nautilus(path, "Docs")}, {{path, {"file:///a/Docs", "file:///a/Docs/"}}}),
              std::filesystem::path("/a/Docs"));
}

// Without a stacking order only a lone window is known to be the one the user was in.
TEST(FrontFileManagerWindow, WithoutAStackingOrderOnlyALoneWindowNamesItsFolder) {
    EXPECT_EQ(onlyWindowFolder({{"/org/gnome/Nautilus/window/1", {"file:///home/me/Reports%20Q"}}}),
              std::filesystem::path("/home/me/Reports Q"));
    EXPECT_EQ(onlyWindowFolder({{"/w/1", {"file:///a/Docs", "file:///a/Docs/"}}}), std::filesystem::path("/a/Docs"));
    EXPECT_EQ(onlyWindowFolder({{"/w/1", {"file:///a/Docs", "file:///b/Docs"}}}), std::nullopt);
    EXPECT_EQ(onlyWindowFolder({{"/w/1", {"file:///a"}}, {"/w/2", {"file:///a"}}}), std::nullopt);
    EXPECT_EQ(onlyWindowFolder({{"/w/1", {"trash:///"}}}), std::nullopt);
    EXPECT_EQ(onlyWindowFolder({{"/w/1", {}}}), std::nullopt);
    EXPECT_EQ(onlyWindowFolder({}), std::nullopt);
}

// Nemo and Caja windows name their folder through our module's mark; unmarked ones (a window
// before its first navigation, a location without a local path) are passed over.
TEST(FrontFileManagerWindow, NemoAndCajaWindowsNameTheFolderTheyAreMarkedWith) {
    FileManagerWindow nemo{"Nemo", "", "Work", false};
    nemo.markedFolder = "/home/me/Work/";
    FileManagerWindow unmarkedCaja{"Caja", "", "Trash", false};
    const std::vector<FileManagerWindow> stack{other("Firefox"), unmarkedCaja, nemo,
                                               nautilus("/org/gnome/Nautilus/window/1", "Music")};
    EXPECT_EQ(frontFileManagerWindow(stack), std::optional<size_t>(2));
    EXPECT_EQ(frontFolderAmong(stack, {{"/org/gnome/Nautilus/window/1", {"file:///home/me/Music"}}}),
              std::filesystem::path("/home/me/Work"));
    FileManagerWindow relative{"Caja", "", "x", false};
    relative.markedFolder = "home/me";
    EXPECT_EQ(frontFolderAmong({relative}, {}), std::nullopt);
    nemo.hidden = true;
    EXPECT_EQ(frontFolderAmong({nemo, nautilus("/org/gnome/Nautilus/window/1", "Music")},
                               {{"/org/gnome/Nautilus/window/1", {"file:///home/me/Music"}}}),
              std::filesystem::path("/home/me/Music"));
}

// Dolphin and Thunar show the full path in the title when the user has chosen so; otherwise, and
// in PCManFM-Qt always, the front window's folder cannot be known, and no window further down
// stands in for it.
TEST(FrontFileManagerWindow, TitledFileManagersNameAFullPathTitleAndHideWhatIsBeneath) {
    const auto window = [](std::string windowClass, std::string role, std::string title) {
        FileManagerWindow made{std::move(windowClass), "", std::move(title), false};
        made.role = std::move(role);
        return made;
    };
    const FileManagerWindow behind = nautilus("/org/gnome/Nautilus/window/1", "Music");
    const FileManagerLocations locations{{"/org/gnome/Nautilus/window/1", {"file:///home/me/Music"}}};
    const auto front = [&](const FileManagerWindow& top) {
        return frontFolderAmong({other("XTerm"), top, behind}, locations);
    };
    EXPECT_EQ(front(window("dolphin", "Dolphin#2", "/home/me/Work Q \xE2\x80\x94 Dolphin")),
              std::filesystem::path("/home/me/Work Q"));
    EXPECT_EQ(front(window("Thunar", "Thunar-1796868938-4190134847", "/home/me/a - b - Thunar")),
              std::filesystem::path("/home/me/a - b"));
    EXPECT_EQ(front(window("Thunar", "Thunar-1", "/ - Thunar")), std::filesystem::path("/"));
    for (const FileManagerWindow& unknown : {
             window("dolphin", "Dolphin#1", "Work \xE2\x80\x94 Dolphin"),
             window("Thunar", "Thunar-1", "Work - Thunar"),
             // Another program's suffix, or none.
             window("dolphin", "Dolphin#1", "/home/me/Work - Thunar"),
             window("Thunar", "Thunar-1", "/home/me/Work"),
             window("pcmanfm-qt", "", "Work"),
             window("pcmanfm-qt", "", "/home/me/Work"),
         }) {
        EXPECT_EQ(frontFileManagerWindow({other("XTerm"), unknown, behind}), std::optional<size_t>(1)) << unknown.title;
        EXPECT_EQ(front(unknown), std::nullopt) << unknown.title;
    }
    // A dialog of theirs (another role) is passed over like Nautilus's.
    EXPECT_EQ(front(window("dolphin", "", "Properties for Work \xE2\x80\x94 Dolphin")),
              std::filesystem::path("/home/me/Music"));
    EXPECT_EQ(front(window("Thunar", "properties", "/home/me - Properties")), std::filesystem::path("/home/me/Music"));
}
