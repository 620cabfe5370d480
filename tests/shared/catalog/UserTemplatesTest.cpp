#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "shared/catalog/FileTypeCatalog.h"
#include "shared/catalog/UserTemplates.h"
#include "shared/paths/UserDirectories.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/settings/SettingsKeys.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> idsIn(const fs::path& folder) { return typeIDs(UserTemplates(folder).discover()); }

// A Templates folder with one of every kind of entry a folder can hold.
struct TemplatesFolder {
    TemporaryFolder home;
    fs::path folder = home / "Templates";
    TemplatesFolder() { fs::create_directories(folder); }
    void add(const std::string& relative, const std::string& bytes = "x") {
        fs::create_directories((folder / relative).parent_path());
        writeFile(folder / relative, bytes);
    }
};

}  // namespace

// --- Where the folder is -----------------------------------------------------------------------

TEST(UserTemplatesFolder, ComesFromUserDirsWithTheHomeGuard) {
    TemporaryFolder config;
    const fs::path home = "/home/alice";
    EXPECT_EQ(userTemplatesFolder(home, config.path()), home / "Templates");
    EXPECT_EQ(userTemplatesFolder(home, std::nullopt), home / "Templates");

    writeFile(config / kUserDirectoriesFileName,
              "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_TEMPLATES_DIR=\"$HOME/Vorlagen\"\n");
    EXPECT_EQ(userTemplatesFolder(home, config.path()), home / "Vorlagen");
    writeFile(config / kUserDirectoriesFileName, "XDG_TEMPLATES_DIR=\"/srv/vorlagen/\"\n");
    EXPECT_EQ(userTemplatesFolder(home, config.path()), fs::path("/srv/vorlagen"));

    // The desktop's way of saying "no Templates folder": every file of the home is none.
    for (const char* off : {"XDG_TEMPLATES_DIR=\"$HOME/\"\n", "XDG_TEMPLATES_DIR=\"$HOME\"\n",
                            "XDG_TEMPLATES_DIR=\"/\"\n", "XDG_TEMPLATES_DIR=\"$HOME/a/..\"\n"}) {
        writeFile(config / kUserDirectoriesFileName, off);
        EXPECT_EQ(userTemplatesFolder(home, config.path()), std::nullopt) << off;
    }
    EXPECT_EQ(userTemplatesFolder("/", std::nullopt), std::nullopt);
}

// --- Discovery ---------------------------------------------------------------------------------

TEST(UserTemplatesDiscovery, OffersRegularFilesAndInsideLinksOnly) {
    TemplatesFolder t;
    t.add("Letter.odt");
    t.add("README.md");
    t.add("Makefile");
    t.add(".hidden.txt");
    t.add("draft.txt~");
    TemporaryFolder outside;
    writeFile(outside / "secret.txt", "secret");
    fs::create_symlink(t.folder / "Letter.odt", t.folder / "Letterhead.odt");
    fs::create_symlink(outside / "secret.txt", t.folder / "Outside.txt");
    fs::create_symlink("../../etc/passwd", t.folder / "Passwd.txt");
    fs::create_symlink(t.folder / "missing", t.folder / "Dangling.txt");
    ASSERT_EQ(::mkfifo((t.folder / "Pipe.txt").c_str(), 0600), 0);
    fs::create_symlink(t.folder / "Pipe.txt", t.folder / "PipeLink.txt");
    int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (t.folder / "Socket.txt").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    // A FIFO must never make the scan wait: it is never opened.
    const auto start = std::chrono::steady_clock::now();
    const auto ids = idsIn(t.folder);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    ::close(sock);
    EXPECT_EQ(ids, (std::vector<std::string>{"template:Letter.odt", "template:Letterhead.odt", "template:Makefile",
                                             "template:README.md"}));
}

TEST(UserTemplatesDiscovery, GroupsSubfoldersToTwoLevelsInListingOrder) {
    TemplatesFolder t;
    t.add("b.txt");
    t.add("A 10.txt");
    t.add("A 9.txt");
    t.add("Work/Invoice.ods");
    t.add("Work/2024/Report.odt");
    t.add("Work/2024/Q1/Too deep.odt");
    t.add("Archive/Old.doc");
    t.add(".git/config");
    TemporaryFolder outside;
    writeFile(outside / "x.txt", "x");
    fs::create_directory_symlink(outside.path(), t.folder / "Linked");

    EXPECT_EQ(idsIn(t.folder),
              (std::vector<std::string>{"template:A 9.txt", "template:A 10.txt", "template:b.txt",
                                        "template:Archive/Old.doc", "template:Work/Invoice.ods",
                                        "template:Work/2024/Report.odt"}));
    const auto types = UserTemplates(t.folder).discover();
    EXPECT_EQ(templateGroup(types[0]), "");
    EXPECT_EQ(templateGroup(types[4]), "Work");
    EXPECT_EQ(templateGroup(types[5]), "Work/2024");
    EXPECT_EQ(templateGroup(*fileType("txt")), "");
}

TEST(UserTemplatesDiscovery, MissingFolderOrNoneHasNoTemplates) {
    TemporaryFolder home;
    EXPECT_TRUE(idsIn(home / "Templates").empty());
    EXPECT_TRUE(UserTemplates().discover().empty());
    writeFile(home / "Templates", "a file, not a folder");
    EXPECT_TRUE(idsIn(home / "Templates").empty());
}

// --- What a template is ------------------------------------------------------------------------

TEST(UserTemplateTypes, NameExtensionCategoryAndLookUpComeFromTheID) {
    const auto letter = templateTypeFromID("template:Work/Letter.final.odt");
    ASSERT_TRUE(letter);
    EXPECT_EQ(*letter, (FileTypeDefinition{"template:Work/Letter.final.odt", "Letter.final", "odt",
                                           FileTypeCategory::templates, kTemplateSymbolName}));
    EXPECT_EQ(templateFileName(*letter), "Letter.final.odt");
    const auto makefile = templateTypeFromID("template:Makefile");
    EXPECT_EQ(makefile->displayName, "Makefile");
    EXPECT_EQ(makefile->fileExtension, "");
    EXPECT_EQ(templateFileName(*makefile), "Makefile");
    EXPECT_EQ(templateTypeFromID("template:Notes.")->fileExtension, "");
    EXPECT_EQ(rawValue(FileTypeCategory::templates), "Templates");
    EXPECT_EQ(fileTypeCategoryFromRawValue("Templates"), FileTypeCategory::templates);
    // The built-in types are looked up as before; a template by its id alone.
    EXPECT_EQ(fileTypeForID("md"), *fileType("md"));
    EXPECT_EQ(fileTypeForID("template:Letter.odt")->displayName, "Letter");
    EXPECT_EQ(fileType("template:Letter.odt"), nullptr);
    EXPECT_EQ(allTypes().size(), 16u);
}

// Every id that could name something outside the folder, or something discovery never offers.
TEST(UserTemplateTypes, HostileIDsNameNoTemplateAndOpenNothing) {
    TemplatesFolder t;
    t.add("Letter.odt", "letter");
    t.add("Work/Invoice.ods", "invoice");
    TemporaryFolder outside;
    writeFile(outside / "secret.txt", "secret");
    fs::create_symlink(outside.path(), t.folder / "Out");
    fs::create_symlink(outside / "secret.txt", t.folder / "Secret.txt");
    fs::create_directories(t.folder / "Deep");
    fs::create_symlink("../../" + outside.path().filename().string() + "/secret.txt", t.folder / "Deep" / "Up.txt");
    ASSERT_EQ(::mkfifo((t.folder / "Pipe.txt").c_str(), 0600), 0);
    const UserTemplates templates(t.folder);

    using namespace std::string_literals;
    for (const std::string& id :
         {"template:../secret.txt"s, "template:Work/../Letter.odt"s, "template:./Letter.odt"s,
          "template:" + (outside / "secret.txt").string(), "template:/etc/passwd"s, "template:"s,
          "template:Letter.odt\0.txt"s, "template:Work//Invoice.ods"s, "template:Work/"s, "template:.hidden"s,
          "template:Letter.odt~"s, "template:Out/secret.txt"s, "template:Secret.txt"s, "template:Deep/Up.txt"s,
          "template:Pipe.txt"s, "template:Missing.odt"s, "template:a/b/c/d.txt"s, "Template:Letter.odt"s,
          "template:Work"s}) {
        EXPECT_EQ(templates.type(id), std::nullopt) << id;
        EXPECT_EQ(creatableFileType(id, templates), std::nullopt) << id;
        const int fd = templates.open(id);
        EXPECT_LT(fd, 0) << id;
        if (fd >= 0) ::close(fd);
    }
    // The same folder answers for the templates that are there.
    EXPECT_EQ(creatableFileType("template:Work/Invoice.ods", templates)->displayName, "Invoice");
    EXPECT_EQ(creatableFileType("md", templates), *fileType("md"));
    const int fd = templates.open("template:Letter.odt");
    ASSERT_GE(fd, 0);
    char bytes[16] = {};
    EXPECT_EQ(::read(fd, bytes, sizeof bytes), 6);
    ::close(fd);
    // Without a folder there are no templates at all.
    EXPECT_EQ(UserTemplates().type("template:Letter.odt"), std::nullopt);
}

// --- The load rules ----------------------------------------------------------------------------

TEST(UserTemplateSettings, NewTemplatesAreEnabledAndGoneOnesDropped) {
    auto suite = DefaultsSuite::openInMemory("templates");
    const std::vector<std::string> two{"template:Letter.odt", "template:Work/Invoice.ods"};

    // Nothing stored: every type and every template, templates after the built-in types.
    auto enabled = loadEnabledFileTypeIDs(*suite, two);
    EXPECT_EQ(enabled.size(), 18u);
    auto order = loadFileTypeOrder(*suite, two);
    ASSERT_EQ(order.size(), 18u);
    EXPECT_EQ(std::vector<std::string>(order.end() - 2, order.end()), two);

    // The user switched txt and the letter off while both templates were there.
    suite->set(settingsKey::enabledFileTypeIDs, DefaultsValue(DefaultsValue::Array{
                                                    DefaultsValue("md"), DefaultsValue("template:Work/Invoice.ods"),
                                                    DefaultsValue("template:Gone.odt")}));
    suite->set(settingsKey::knownTemplateIDs,
               DefaultsValue(DefaultsValue::Array{DefaultsValue(two[0]), DefaultsValue(two[1])}));
    EXPECT_EQ(loadEnabledFileTypeIDs(*suite, two),
              (std::set<std::string>{"md", "template:Work/Invoice.ods"}));
    // A template added since is on, though txt stays off; one no longer there is dropped.
    EXPECT_EQ(loadEnabledFileTypeIDs(*suite, {"template:Work/Invoice.ods", "template:New.md"}),
              (std::set<std::string>{"md", "template:Work/Invoice.ods", "template:New.md"}));
    // Settings of a version without templates: every template counts as new.
    suite->remove(settingsKey::knownTemplateIDs);
    EXPECT_EQ(loadEnabledFileTypeIDs(*suite, two),
              (std::set<std::string>{"md", "template:Letter.odt", "template:Work/Invoice.ods"}));
    // Stored built-in values load as they always did.
    EXPECT_EQ(loadEnabledFileTypeIDs(*suite), (std::set<std::string>{"md"}));

    suite->set(settingsKey::fileTypeOrder,
               DefaultsValue(DefaultsValue::Array{DefaultsValue("template:Work/Invoice.ods"), DefaultsValue("md"),
                                                  DefaultsValue("template:Gone.odt"), DefaultsValue("txt")}));
    order = loadFileTypeOrder(*suite, two);
    ASSERT_EQ(order.size(), 18u);
    EXPECT_EQ(order[0], "template:Work/Invoice.ods");
    EXPECT_EQ(order[1], "md");
    EXPECT_EQ(order[2], "txt");
    EXPECT_EQ(order.back(), "template:Letter.odt");
    EXPECT_EQ(loadFileTypeOrder(*suite).size(), 16u);
}
