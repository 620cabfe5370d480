#include "app/update/BundleInstaller.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/update/SoftwareUpdateController.h"
#include "app/update/UpdateMessages.h"
#include "platform/ArchiveUnpacker.h"
#include "platform/posix/ExchangePaths.h"
#include "shared/logging/Logger.h"

namespace quillet {

namespace fs = std::filesystem;

namespace {

Logger log() { return Logger(kAppSubsystem, SoftwareUpdateController::kLogCategory); }

// An information dictionary is a few hundred bytes; anything this large is not one.
constexpr std::uintmax_t kMaximumInfoDictionaryBytes = 1 << 20;

std::string errnoText(int error) { return std::strerror(error); }

// A new private folder "<parent>/.<name>.update-XXXXXX" beside the bundle, removed with
// everything in it when this goes.
class StagingFolder {
public:
    explicit StagingFolder(const fs::path& bundle) {
        std::string pattern = (bundle.parent_path() / ("." + bundle.filename().string() + ".update-XXXXXX")).string();
        if (!::mkdtemp(pattern.data())) throw UpdateInstallError(UpdateMessages::stagingFailed(errnoText(errno)));
        path_ = pattern;
    }
    ~StagingFolder() {
        std::error_code error;
        fs::remove_all(path_, error);
        if (error) log().error("Could not remove the staging folder %{public}s: %{public}s", path_.string(), error.message());
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void writeNewFile(const fs::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) throw UpdateInstallError(UpdateMessages::stagingFailed(errnoText(errno)));
    size_t written = 0;
    while (written < bytes.size()) {
        const auto n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            ::close(fd);
            throw UpdateInstallError(UpdateMessages::stagingFailed(errnoText(error)));
        }
        written += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) throw UpdateInstallError(UpdateMessages::stagingFailed(errnoText(errno)));
}

// `relative` below `root`, each step what it must be and none a link.
bool isPlainPath(const fs::path& root, const fs::path& relative, fs::file_type last) {
    fs::path current = root;
    std::vector<fs::path> steps(relative.begin(), relative.end());
    for (size_t i = 0; i < steps.size(); ++i) {
        current /= steps[i];
        std::error_code error;
        const auto type = fs::symlink_status(current, error).type();
        if (error || type != (i + 1 == steps.size() ? last : fs::file_type::directory)) return false;
    }
    return true;
}

std::optional<std::string> bundleVersion(const fs::path& infoDictionary) {
    std::error_code error;
    if (fs::file_size(infoDictionary, error) > kMaximumInfoDictionaryBytes || error) return std::nullopt;
    std::ifstream in(infoDictionary, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto json = nlohmann::json::parse(text, nullptr, false);
    if (!json.is_object()) return std::nullopt;
    const auto version = json.find("CFBundleShortVersionString");
    if (version == json.end() || !version->is_string()) return std::nullopt;
    return version->get<std::string>();
}

}  // namespace

fs::path validatedApplication(const fs::path& unpacked, std::string_view expectedVersion) {
    std::vector<fs::path> applications;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(unpacked, error)) {
        const auto name = entry.path().filename().string();
        if (name.size() > 4 && name.ends_with(".app") && entry.is_directory(error) && !entry.is_symlink(error))
            applications.push_back(entry.path());
    }
    if (error) throw UpdateInstallError(UpdateMessages::notAnApplication(error.message()));
    if (applications.empty()) throw UpdateInstallError(UpdateMessages::notAnApplication("it holds no application folder"));
    if (applications.size() > 1)
        throw UpdateInstallError(UpdateMessages::notAnApplication("it holds more than one application folder"));
    const auto& application = applications.front();

    if (!isPlainPath(application, "bin/quillet", fs::file_type::regular) ||
        (fs::status(application / "bin/quillet").permissions() & fs::perms::owner_exec) == fs::perms::none)
        throw UpdateInstallError(UpdateMessages::notAnApplication("it has no executable bin/quillet"));
    if (!isPlainPath(application, "share/quillet/Info.json", fs::file_type::regular))
        throw UpdateInstallError(UpdateMessages::notAnApplication("it has no share/quillet/Info.json"));
    const auto version = bundleVersion(application / "share/quillet/Info.json");
    if (!version) throw UpdateInstallError(UpdateMessages::notAnApplication("its Info.json names no version"));
    if (*version != expectedVersion) throw UpdateInstallError(UpdateMessages::versionMismatch(*version, expectedVersion));
    return application;
}

BundleInstaller::BundleInstaller(ArchiveUnpacker& unpacker, fs::path installedBundle)
    : unpacker_(unpacker), bundle_(std::move(installedBundle)) {}

void BundleInstaller::install(std::string_view archive, std::string_view expectedVersion) {
    const StagingFolder staging(bundle_);
    log().log("Staging the update in %{public}s", staging.path().string());
    const auto archivePath = staging.path() / "archive";
    writeNewFile(archivePath, archive);

    const auto unpacked = staging.path() / "unpacked";
    if (::mkdir(unpacked.c_str(), 0700) != 0) throw UpdateInstallError(UpdateMessages::stagingFailed(errnoText(errno)));
    try {
        unpacker_.unpack(archivePath, unpacked);
    } catch (const ArchiveUnpackError& error) {
        throw UpdateInstallError(error.description());
    } catch (const std::exception& error) {
        // Not the unpacker's own words (a failed allocation, say): they get the sentence around them.
        throw UpdateInstallError(UpdateMessages::unpackFailed(error.what()));
    }

    const auto application = validatedApplication(unpacked, expectedVersion);
    try {
        exchangePaths(application, bundle_);
    } catch (const std::system_error& error) {
        throw UpdateInstallError(UpdateMessages::replaceFailed(error.code().message()));
    }
    // The old application now lies where the new one was unpacked; it goes with the staging folder.
    log().log("Installed the update in %{public}s", bundle_.string());
}

}  // namespace quillet
