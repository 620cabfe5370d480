// What creating a file costs beyond the file system's own work: createFile against plain
// open/write/close of the same bytes in the same folder, and one name search past 1000 taken
// names. bench/run-creation-bench.sh turns the runs into medians and ratios.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "app/creation/FileCreationService.h"
#include "platform/posix/AmbientScopedAccess.h"
#include "shared/catalog/FileTypeCatalog.h"

namespace fs = std::filesystem;
using namespace quillet;

namespace {

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "quillet-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// A file manager as the application builds one: the program's templates and ambient access.
struct ApplicationFileWriter {
    NewFileWriter fileWriter{ResourceBundle::besideExecutable(), std::make_shared<AmbientScopedAccess>()};
};

// The bytes a new file of the type holds.
std::string contentOf(const NewFileWriter& fileWriter, const FileTypeDefinition& type) {
    if (type.category != FileTypeCategory::office) return templateText(type);
    auto resource = fileWriter.mainBundle().url("blank", type.fileExtension);
    if (!resource) throw std::runtime_error("no template for " + type.id);
    std::ifstream in(*resource, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The least any program does to make a new file with these bytes.
void writePlain(const fs::path& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("open failed");
    if (!bytes.empty() && ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("write failed");
    ::close(fd);
}

// The least the atomic road itself costs: the bytes written into an unnamed file in the folder,
// which is then linked under its name and closed. What createFile adds is measured against this.
void writeUnnamedThenLink(const fs::path& path, const std::string& bytes) {
    const int fd = ::open(path.parent_path().c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("open O_TMPFILE failed");
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("write failed");
    if (::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) != 0) {
        char self[64];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
        if (::linkat(AT_FDCWD, self, AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0)
            throw std::runtime_error("linkat failed");
    }
    ::close(fd);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// createFile, the plain write and the atomic road alone take turns within one run (in alternating
// order), so a busy moment of the machine weighs on them alike. Each file is removed outside the
// timed part, so every iteration finds the same folder and takes the plain name. The benchmark's
// own time is createFile's; the counters give the means and the ratios to the plain write, and,
// for a type with content, of the atomic road alone to the plain write: the part of the ratio
// that is the kernel's, not createFile's.
void BM_CreateFileVersusPlainWrite(benchmark::State& state, const char* id) {
    const FileTypeDefinition& type = *fileType(id);
    ApplicationFileWriter application;
    const NewFileWriter& fileWriter = application.fileWriter;
    const std::string bytes = contentOf(fileWriter, type);
    ScratchFolder folder;
    // Standardized once, outside the timing, as a request's folder arrives at createFile.
    const FolderPath createTarget = *FolderPath::fromAbsolute(fs::absolute(folder.path()));
    const fs::path plainTarget = folder.path() / ("Untitled." + type.fileExtension);
    double createSeconds = 0, plainSeconds = 0, floorSeconds = 0;
    bool plainFirst = false;
    for (auto _ : state) {
        plainFirst = !plainFirst;
        double created = 0;
        auto timed = [&](auto write, double& total) {
            const auto start = std::chrono::steady_clock::now();
            write(plainTarget, bytes);
            total += secondsSince(start);
            ::unlink(plainTarget.c_str());
        };
        if (plainFirst) timed(writePlain, plainSeconds);
        if (!bytes.empty() && !plainFirst) timed(writeUnnamedThenLink, floorSeconds);
        const auto start = std::chrono::steady_clock::now();
        const fs::path path = createFile(type, createTarget, fileWriter);
        created = secondsSince(start);
        ::unlink(path.c_str());
        if (!bytes.empty() && plainFirst) timed(writeUnnamedThenLink, floorSeconds);
        if (!plainFirst) timed(writePlain, plainSeconds);
        state.SetIterationTime(created);
        createSeconds += created;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["createFile_us"] = createSeconds / n * 1e6;
    state.counters["plain_us"] = plainSeconds / n * 1e6;
    state.counters["ratio"] = plainSeconds > 0 ? createSeconds / plainSeconds : 0;
    if (!bytes.empty()) {
        state.counters["unnamed_us"] = floorSeconds / n * 1e6;
        state.counters["unnamed_ratio"] = plainSeconds > 0 ? floorSeconds / plainSeconds : 0;
    }
}

void BM_UniqueFileURLPast1000Names(benchmark::State& state) {
    ScratchFolder folder;
    writePlain(folder.path() / "Untitled.txt", "");
    for (int n = 2; n <= 1000; ++n)
        writePlain(folder.path() / ("Untitled " + std::to_string(n) + ".txt"), "");
    ApplicationFileWriter application;
    const NewFileWriter& fileWriter = application.fileWriter;
    for (auto _ : state) {
        fs::path url = uniqueFileURL(folder.path(), "Untitled", "txt", fileWriter);
        benchmark::DoNotOptimize(url);
        if (url.filename() != "Untitled 1001.txt") state.SkipWithError("wrong name");
    }
}

// What one system call costs on this machine, the unit in which the ratios above are paid.
void BM_NullSystemCall(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(::getppid());
}

}  // namespace

BENCHMARK_CAPTURE(BM_CreateFileVersusPlainWrite, txt, "txt")->UseManualTime();
BENCHMARK_CAPTURE(BM_CreateFileVersusPlainWrite, docx, "docx")->UseManualTime();
BENCHMARK(BM_UniqueFileURLPast1000Names)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NullSystemCall);

BENCHMARK_MAIN();
