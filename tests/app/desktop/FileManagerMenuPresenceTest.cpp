#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "app/desktop/DolphinServiceMenu.h"
#include "app/desktop/FileManagerMenuPresence.h"
#include "app/desktop/PcmanfmActionsMenu.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

void touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "x";
}

}  // namespace

TEST(FileManagerMenuPresence, EachInstalledFileManagerHasTheMenuWhereItsModuleOrOurMenuFileIs) {
    test::TemporaryFolder root;
    const fs::path usrLib = root.path() / "usr" / "lib";
    touch(usrLib / "x86_64-linux-gnu" / "nautilus" / "extensions-4" / "quillet-nautilus.so");
    touch(usrLib / "thunarx-3" / "quillet-thunar.so");
    // A module of another name, and ours in the wrong file manager's folder, count for nothing.
    touch(usrLib / "x86_64-linux-gnu" / "nemo" / "extensions-3.0" / "other.so");
    touch(usrLib / "x86_64-linux-gnu" / "caja" / "extensions-2.0" / "quillet-nemo.so");
    fs::create_directories(usrLib / "not-a-triplet");
    const DolphinServiceMenu dolphin("/usr/bin/quillet", root.path() / "data");
    const PcmanfmActionsMenu pcmanfm("/usr/bin/quillet", root.path() / "data");
    touch(*dolphin.menuFile());

    const std::set<std::string_view> installed{"nautilus", "nemo", "caja", "thunar", "dolphin", "pcmanfm-qt"};
    const auto folders = systemLibraryFolders(usrLib);
    EXPECT_EQ(folders, (std::vector<fs::path>{usrLib / "x86_64-linux-gnu", root.path() / "usr" / "lib64", usrLib}));
    const auto presence = fileManagerMenuPresence(
        {folders, {&dolphin, &pcmanfm}, [&](std::string_view program) { return installed.count(program) > 0; }});
    EXPECT_EQ(presence, (std::vector<FileManagerMenuPresence>{{"Files", true, true},
                                                              {"Nemo", false, true},
                                                              {"Caja", false, true},
                                                              {"Thunar", true, true},
                                                              {"Dolphin", true, false},
                                                              {"PCManFM-Qt", false, false}}));
    EXPECT_EQ(fileManagerMenuSummary(presence),
              "On this computer it is in Files, Thunar and Dolphin. Nemo and Caja get it when Quillet+ is installed "
              "from its package. PCManFM-Qt gets it while an installed Quillet+ runs with at least one file type "
              "switched on.");

    // Only what is installed is named.
    EXPECT_EQ(fileManagerMenuPresence({folders, {&dolphin, &pcmanfm}, [](std::string_view p) { return p == "nemo"; }}),
              (std::vector<FileManagerMenuPresence>{{"Nemo", false, true}}));
}

TEST(FileManagerMenuPresence, TheSummarySaysWhatThereIsToSay) {
    EXPECT_EQ(fileManagerMenuSummary({}), "");
    EXPECT_EQ(fileManagerMenuSummary({{"Files", true, true}}), "On this computer it is in Files.");
    EXPECT_EQ(fileManagerMenuSummary({{"Files", true, true}, {"Dolphin", true, false}}),
              "On this computer it is in Files and Dolphin.");
    EXPECT_EQ(fileManagerMenuSummary({{"Thunar", false, true}}),
              "On this computer no file manager shows it yet. Thunar gets it when Quillet+ is installed from its "
              "package.");
}
