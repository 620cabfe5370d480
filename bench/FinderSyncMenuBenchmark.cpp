// What one "Create File" menu costs the file manager: check that the shared settings suite's
// file is still the one held open, read the two file type keys with the application's load
// rules, build the menu model. For scale, in the same run: the same with the suite opened anew
// (the first menu), and the model alone from types already in hand.
// Target: median at most 200 us. bench/run-finder-menu-bench.sh reports the medians.
// With the user's templates (0 and 100 files, in the folder and two subfolders): the menu,
// and the scan of the Templates folder alone; the menu's cost beyond the scan should stay
// within 50 us.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "shared/settings/DefaultsSuite.h"
#include "shared/settings/SettingsKeys.h"
#include "extension/FinderSync.h"
#include "shared/logging/Logger.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/catalog/UserTemplates.h"
#include "tests/support/RecordingFinderSyncHost.h"

namespace fs = std::filesystem;
using namespace quillet;

namespace {

class DiscardingLogSink : public LogSink {
public:
    void write(const LogRecord&) override {}
};

// A settings suite in a scratch configuration folder, holding a user's reordered and trimmed
// type list, as the application would have written it.
class ScratchSettings {
public:
    ScratchSettings() {
        std::string pattern = (fs::temp_directory_path() / "quillet-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        auto suite = DefaultsSuite::openShared(path_);
        suite->set("fileTypeOrder", DefaultsValue::Array{"py", "md", "txt", "json", "docx", "sh", "csv", "swift"});
        suite->set("enabledFileTypeIDs", DefaultsValue::Array{"py", "md", "txt", "json", "docx", "sh", "csv", "swift",
                                                              "xlsx", "html", "css", "js"});
    }
    ~ScratchSettings() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    // The configuration home the suite is in.
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void BM_BuildCreateMenu(benchmark::State& state) {
    ScratchSettings settings;
    ScopedLogSink quiet(std::make_shared<DiscardingLogSink>());
    test::RecordingFinderSyncHost host;
    FinderSync finderSync(host, [] { return std::optional<UserAccount>(UserAccount{"/home/bench", "bench"}); },
                          settings.path());
    for (auto _ : state) {
        auto menu = finderSync.buildCreateMenu();
        benchmark::DoNotOptimize(menu);
    }
    const auto menu = finderSync.buildCreateMenu();
    if (menu.items.at(0).submenu->items.empty()) state.SkipWithError("the stored settings were not read");
}
BENCHMARK(BM_BuildCreateMenu)->Unit(benchmark::kMicrosecond);

// What each menu would cost if it opened the suite anew: the first menu's cost.
void BM_BuildCreateMenuOpeningTheSuiteAnew(benchmark::State& state) {
    ScratchSettings settings;
    ScopedLogSink quiet(std::make_shared<DiscardingLogSink>());
    const auto container = DefaultsSuite::containerDirectory(settings.path(), DefaultsSuite::kSharedSuiteName);
    std::string failure = "no configuration folder";
    for (auto _ : state) {
        // As the extension opens it: read-only.
        const auto defaults =
            container ? DefaultsSuite::openReadOnly(DefaultsSuite::kSharedSuiteName, *container, failure) : nullptr;
        if (!defaults) {
            state.SkipWithError(("the suite could not be read: " + failure).c_str());
            break;
        }
        auto menu = createMenuModel(
            enabledFileTypesInOrder(loadFileTypeOrder(*defaults), loadEnabledFileTypeIDs(*defaults)));
        benchmark::DoNotOptimize(menu);
    }
}
BENCHMARK(BM_BuildCreateMenuOpeningTheSuiteAnew)->Unit(benchmark::kMicrosecond);

// A home whose Templates folder holds `count` files: a third in the folder itself, the rest in
// two subfolders, as a user's would.
class ScratchTemplates {
public:
    explicit ScratchTemplates(const fs::path& home, long count) : folder_(home / "Templates") {
        fs::create_directories(folder_ / "Work");
        fs::create_directories(folder_ / "Letters");
        for (long i = 0; i < count; ++i) {
            const char* sub = i % 3 == 0 ? "" : i % 3 == 1 ? "Work" : "Letters";
            std::FILE* out = std::fopen((folder_ / sub / ("Template " + std::to_string(i) + ".odt")).c_str(), "w");
            if (!out) throw std::runtime_error("could not write a template");
            std::fputs("template", out);
            std::fclose(out);
        }
    }
    const fs::path& folder() const { return folder_; }

private:
    fs::path folder_;
};

void BM_BuildCreateMenuWithTemplates(benchmark::State& state) {
    ScratchSettings settings;
    ScopedLogSink quiet(std::make_shared<DiscardingLogSink>());
    const fs::path home = settings.path() / "home";
    ScratchTemplates templates(home, state.range(0));
    test::RecordingFinderSyncHost host;
    FinderSync finderSync(host, [home] { return std::optional<UserAccount>(UserAccount{home, "bench"}); },
                          settings.path());
    for (auto _ : state) {
        auto menu = finderSync.buildCreateMenu();
        benchmark::DoNotOptimize(menu);
    }
    if (finderSync.templates().discover().size() != static_cast<size_t>(state.range(0)))
        state.SkipWithError("the templates were not found");
}
BENCHMARK(BM_BuildCreateMenuWithTemplates)->Arg(0)->Arg(100)->Unit(benchmark::kMicrosecond);

// The first menu after the settings or the folder changed: the scan, the load rules and the
// model made anew (later menus reuse the model while nothing changed).
void BM_MenuAfterAChange(benchmark::State& state) {
    ScratchSettings settings;
    ScratchTemplates templates(settings.path() / "home", state.range(0));
    const UserTemplates folder(templates.folder());
    const auto container = DefaultsSuite::containerDirectory(settings.path(), DefaultsSuite::kSharedSuiteName);
    std::string failure;
    const auto defaults = DefaultsSuite::openReadOnly(DefaultsSuite::kSharedSuiteName, *container, failure);
    for (auto _ : state) {
        const auto ids = typeIDs(folder.discover());
        auto menu = createMenuModel(
            enabledFileTypesInOrder(loadFileTypeOrder(*defaults, ids), loadEnabledFileTypeIDs(*defaults, ids)));
        benchmark::DoNotOptimize(menu);
    }
}
BENCHMARK(BM_MenuAfterAChange)->Arg(0)->Arg(100)->Unit(benchmark::kMicrosecond);

// The one pass over the Templates folder each menu makes, alone.
void BM_ScanTemplates(benchmark::State& state) {
    ScratchSettings settings;
    ScratchTemplates templates(settings.path() / "home", state.range(0));
    const UserTemplates folder(templates.folder());
    for (auto _ : state) {
        auto found = folder.discover();
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_ScanTemplates)->Arg(0)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_MenuModelOnly(benchmark::State& state) {
    const auto types = enabledFileTypesInOrder(defaultOrder(), allIDs());
    for (auto _ : state) {
        auto menu = createMenuModel(types);
        benchmark::DoNotOptimize(menu);
    }
}
BENCHMARK(BM_MenuModelOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
