// A settings database is a file in the user's configuration folder: a crash, a full disk, a
// copy from elsewhere or a person may leave any bytes there. Each input is such a file. The
// file-manager extension's read-only opening must refuse it or read it, never changing its
// bytes; every value it reads is the same whichever way it is read. The application's opening
// must always end with a usable suite (the file as it is, or moved aside for a fresh one) that
// stores and reads back a value, also when the file asks for more memory than SQLite is given,
// and the settings loaded from it must be ones it can use.
#include <dirent.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/settings/AppSettings.h"
#include "shared/logging/Logger.h"
#include "shared/settings/DefaultsSuite.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

class NoLog : public LogSink {
public:
    void write(const LogRecord&) override {}
};

constexpr const char* kSuite = "fuzz";

fs::path& home() {
    static fs::path path;
    return path;
}

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& file, const uint8_t* data, size_t size) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    require(fd >= 0);
    require(::write(fd, data, size) == static_cast<ssize_t>(size));
    ::close(fd);
}

void checkReadOnly(const fs::path& folder, const fs::path& database, const std::string& before) {
    std::string failure;
    auto suite = DefaultsSuite::openReadOnly(kSuite, folder, failure);
    if (!suite) {
        require(!failure.empty());
    } else {
        const auto all = suite->dictionaryRepresentation();
        for (const auto& [key, value] : all) require(suite->get(key) == value);
        require(suite->keys().size() == all.size());
        require(!suite->set("k", 1));
    }
    suite.reset();
    require(contents(database) == before);
}

void checkApplication(const fs::path& database) {
    auto suite = DefaultsSuite::open(home(), kSuite);
    require(suite != nullptr);
    AppSettings settings(*suite);
    require(settings.quickCreateShortcut->isUsable());
    require(settings.appPresence.get() != AppPresence::dockAndMenuBar);
    const DefaultsValue value = DefaultsValue::Array{"txt", 5};
    require(suite->set("fuzz.written", value));
    require(suite->get("fuzz.written") == value);
    suite.reset();
    require(fs::exists(database));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    installLogSink(std::make_shared<NoLog>());
    // SQLite gets about four times what an empty suite needs, as on a small machine: an input
    // that asks for more reaches the road of an out-of-memory while opening (tried again, then
    // moved aside), and must still end with a usable suite.
    sqlite3_hard_heap_limit64(1 << 20);
    // Memory-backed where the system offers it: every input is written to a file.
    const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
    std::string pattern = (base / "quillet-fuzz-defaults-XXXXXX").string();
    require(::mkdtemp(pattern.data()) != nullptr);
    home() = pattern;
    std::atexit([] { fs::remove_all(home()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path folder = home() / kSuite;
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path database = folder / DefaultsSuite::kDatabaseFileName;
    writeFile(database, data, size);

    checkReadOnly(folder, database, std::string(reinterpret_cast<const char*>(data), size));
    checkApplication(database);
    return 0;
}
