#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "shared/paths/UserDirectories.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

const fs::path kHome = "/home/alice";

std::optional<fs::path> desktopIn(const std::string& text) { return desktopFolderFromUserDirectories(text, kHome); }

}  // namespace

// --- The file's lines --------------------------------------------------------------------------

TEST(UserDirectoriesFile, HomeRelativeValuesAreInTheGivenHome) {
    EXPECT_EQ(desktopIn("XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"), kHome / "Schreibtisch");
    EXPECT_EQ(desktopIn("XDG_DESKTOP_DIR=\"$HOME/Bureau/\""), kHome / "Bureau");
    // The home itself is a Desktop the desktop allows.
    EXPECT_EQ(desktopIn("XDG_DESKTOP_DIR=\"$HOME\""), kHome);
    EXPECT_EQ(desktopIn("XDG_DESKTOP_DIR=\"$HOME/../shared/Desk\""), fs::path("/home/shared/Desk"));
    EXPECT_EQ(desktopFolderFromUserDirectories("XDG_DESKTOP_DIR=\"$HOME/Escritorio\"", "/srv/homes/bob/"),
              fs::path("/srv/homes/bob/Escritorio"));
}

TEST(UserDirectoriesFile, AbsoluteValuesAreTakenAsTheyAre) {
    EXPECT_EQ(desktopIn("XDG_DESKTOP_DIR=\"/data/Bureau/\""), fs::path("/data/Bureau"));
    EXPECT_EQ(desktopIn("XDG_DESKTOP_DIR=\"/\""), fs::path("/"));
    // Backslash escapes, as the desktop writes them for quotes, backslashes and dollars.
    EXPECT_EQ(desktopIn("XDG_DESKTOP_DIR=\"$HOME/Mon \\\"Bureau\\\" \\$1\""), kHome / "Mon \"Bureau\" $1");
    EXPECT_EQ(desktopIn("XDG_DESKTOP_DIR=\"/a\\\\b\""), fs::path("/a\\b"));
}

TEST(UserDirectoriesFile, RelativeAndEmptyValuesNameNothing) {
    for (const char* line : {"XDG_DESKTOP_DIR=\"Desktop\"", "XDG_DESKTOP_DIR=\"\"", "XDG_DESKTOP_DIR=\"~/Desktop\"",
                             "XDG_DESKTOP_DIR=\"./Desktop\"",
                             // An escaped dollar is a folder literally named $HOME, relative.
                             "XDG_DESKTOP_DIR=\"\\$HOME/Desktop\"",
                             // Not the home followed by a folder.
                             "XDG_DESKTOP_DIR=\"$HOMEwork\""}) {
        EXPECT_EQ(desktopIn(line), std::nullopt) << line;
    }
}

TEST(UserDirectoriesFile, CommentsOtherKeysAndBlanksAreSkipped) {
    const std::string text =
        "# This file is written by xdg-user-dirs-update\n"
        "# XDG_DESKTOP_DIR=\"/commented/out\"\n"
        "\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
        "XDG_DESKTOP_DIRS=\"/not/the/key\"\n"
        "MY_XDG_DESKTOP_DIR=\"/not/the/key/either\"\n"
        "  \tXDG_DESKTOP_DIR = \"$HOME/Schreibtisch\"   # the German Desktop\n"
        "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n";
    EXPECT_EQ(desktopIn(text), kHome / "Schreibtisch");
    EXPECT_EQ(desktopIn("# XDG_DESKTOP_DIR=\"/commented/out\"\nXDG_MUSIC_DIR=\"$HOME/Musik\"\n"), std::nullopt);
    // Windows line ends are read too.
    EXPECT_EQ(desktopIn("XDG_DESKTOP_DIR=\"$HOME/Bureau\"\r\nXDG_MUSIC_DIR=\"$HOME/Musique\"\r\n"), kHome / "Bureau");
}

TEST(UserDirectoriesFile, MalformedLinesAndGarbageNameNothing) {
    for (const std::string& text : {
             std::string("XDG_DESKTOP_DIR=$HOME/Desktop"),          // unquoted
             std::string("XDG_DESKTOP_DIR='/data/Desktop'"),        // single quotes
             std::string("XDG_DESKTOP_DIR=\"/data/Desktop"),        // not closed
             std::string("XDG_DESKTOP_DIR=\"/data/\"Desktop"),      // text after the value
             std::string("XDG_DESKTOP_DIR\"/data/Desktop\""),       // no '='
             "XDG_DESKTOP_DIR=\"/data/De\0sk\""s,                // a NUL is in no path
             "\x7f" "ELF\x02\x01\x01\0\0\0\0\xff\xfe XDG_DESKTOP_DIR=\""s,
             std::string(""),
         }) {
        EXPECT_EQ(desktopIn(text), std::nullopt) << text;
    }
}

TEST(UserDirectoriesFile, TheLastUsableLineWins) {
    EXPECT_EQ(desktopIn("XDG_DESKTOP_DIR=\"$HOME/Old\"\nXDG_DESKTOP_DIR=\"$HOME/New\"\n"), kHome / "New");
    // A later line that names nothing usable leaves the earlier one standing.
    EXPECT_EQ(desktopIn("XDG_DESKTOP_DIR=\"$HOME/Bureau\"\nXDG_DESKTOP_DIR=\"relative\"\nXDG_DESKTOP_DIR=broken\n"),
              kHome / "Bureau");
}

// --- The user's Desktop --------------------------------------------------------------------------

TEST(UserDesktopFolder, ReadsTheConfigurationHomesFileElseFallsBackToDesktopInTheHome) {
    TemporaryFolder config;
    const fs::path file = config / "user-dirs.dirs";
    // No file, no configuration home: the plain Desktop.
    EXPECT_EQ(userDesktopFolder(kHome, config.path()), kHome / "Desktop");
    EXPECT_EQ(userDesktopFolder(kHome, std::nullopt), kHome / "Desktop");

    writeFile(file, "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
    EXPECT_EQ(userDesktopFolder(kHome, config.path()), kHome / "Bureau");
    EXPECT_EQ(userDesktopFolder("/home/bob/", config.path()), fs::path("/home/bob/Bureau"));

    for (const char* unusable : {"XDG_DESKTOP_DIR=\"Bureau\"\n", "XDG_DESKTOP_DIR=/x\n", "\xff\xfe garbage"}) {
        writeFile(file, unusable);
        EXPECT_EQ(userDesktopFolder(kHome, config.path()), kHome / "Desktop") << unusable;
    }
}

TEST(UserDesktopFolder, WhatIsNoSmallRegularFileIsNotRead) {
    TemporaryFolder config;
    const fs::path file = config / "user-dirs.dirs";
    // A folder in its place.
    fs::create_directory(file);
    EXPECT_EQ(userDesktopFolder(kHome, config.path()), kHome / "Desktop");
    fs::remove(file);
    // A named pipe nobody writes to must not block the lookup.
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(userDesktopFolder(kHome, config.path()), kHome / "Desktop");
    fs::remove(file);
    // A huge file is not the desktop's.
    writeFile(file, "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n" + std::string(100 * 1024, '#'));
    EXPECT_EQ(userDesktopFolder(kHome, config.path()), kHome / "Desktop");
    // A link to a real file is followed, as the desktop's own readers do.
    writeFile(config / "elsewhere", "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
    fs::remove(file);
    fs::create_symlink(config / "elsewhere", file);
    EXPECT_EQ(userDesktopFolder(kHome, config.path()), kHome / "Bureau");
}
