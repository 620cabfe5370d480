#include "app/desktop/FileContentUpdate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace quillet {

namespace {

using Outcome = FileContentUpdate::Outcome;

FileContentUpdate failure(Outcome outcome, const std::filesystem::path& path, const std::string& why) {
    return {outcome, path.string() + ": " + why};
}

FileContentUpdate systemFailure(const std::filesystem::path& path, int error) {
    return failure(Outcome::failed, path, std::strerror(error));
}

bool writeAll(int fd, std::string_view bytes) {
    errno = 0;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

RegularFileContent readRegularFile(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return {};
        return {std::nullopt, systemFailure(path, errno)};
    }
    if (!S_ISREG(info.st_mode)) return {std::nullopt, failure(Outcome::notARegularFile, path, "not a regular file")};
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        // Replaced by a link or something else since the check above.
        if (errno == ELOOP) return {std::nullopt, failure(Outcome::notARegularFile, path, "not a regular file")};
        return {std::nullopt, systemFailure(path, errno)};
    }
    std::string content;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return {std::nullopt, systemFailure(path, error)};
        }
        if (n == 0) break;
        content.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return {std::move(content), std::nullopt};
}

FileContentUpdate updateFileContent(const std::filesystem::path& target, std::string_view content,
                                    mode_t newFileMode) {
    const RegularFileContent existing = readRegularFile(target);
    if (existing.failure) return *existing.failure;
    if (existing.content == content) return {Outcome::unchanged, {}};

    mode_t mode = newFileMode;
    struct stat info {};
    if (existing.content && ::lstat(target.c_str(), &info) == 0) mode = info.st_mode & 07777;

    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    if (ec) return failure(Outcome::failed, target.parent_path(), ec.message());

    std::string temporary = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return systemFailure(target, errno);
    const auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return systemFailure(target, error);
    };
    if (::fchmod(fd, mode) != 0) return abandon(errno);
    if (!writeAll(fd, content)) return abandon(errno ? errno : EIO);
    if (::fsync(fd) != 0) return abandon(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return systemFailure(target, error);
    }
    // A link or folder may have appeared meanwhile: it stays, and the new content is dropped.
    if (::lstat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        ::unlink(temporary.c_str());
        return failure(Outcome::notARegularFile, target, "not a regular file");
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return systemFailure(target, error);
    }
    return {Outcome::written, {}};
}

bool removeRegularFile(const std::filesystem::path& path, std::string* error) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (::unlink(path.c_str()) == 0) return true;
    if (error) *error = path.string() + ": " + std::strerror(errno);
    return false;
}

}  // namespace quillet
