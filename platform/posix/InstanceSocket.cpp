#include "platform/posix/InstanceSocket.h"

#include <algorithm>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "shared/text/Translation.h"

namespace quillet::instance_socket {

namespace {

constexpr const char* kSocketName = "org.quillet.Quillet.socket";

std::string describe(const std::string& what, int error) { return what + ": " + std::strerror(error); }

// The address of `path`, or nothing when it does not fit in a socket address.
std::optional<sockaddr_un> addressOf(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& text = path.native();
    if (text.empty() || text.size() >= sizeof address.sun_path) return std::nullopt;
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return address;
}

std::optional<uid_t> peerUser(int fd) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) return std::nullopt;
    return credentials.uid;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::filesystem::path pathFor(const std::optional<std::filesystem::path>& runtimeDirectory,
                              const std::filesystem::path& temporaryDirectory) {
    if (runtimeDirectory && runtimeDirectory->is_absolute()) return *runtimeDirectory / kSocketName;
    return temporaryDirectory / ("org.quillet.Quillet-" + std::to_string(::geteuid()) + ".socket");
}

SendResult send(const std::filesystem::path& path, std::string_view message, std::chrono::milliseconds timeout) {
    using Status = SendResult::Status;
    const auto address = addressOf(path);
    if (!address) return {Status::failed, "The socket path is too long: " + path.string()};
    if (message.empty() || message.size() > kMaximumMessageSize) return {Status::failed, "The request is too long"};
    const Descriptor socket(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    if (socket.get() < 0) return {Status::failed, describe(translate("Could not open a socket"), errno)};
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        const int error = errno;
        // No file, or a file nobody listens on (left by a run that was killed).
        if (error == ENOENT || error == ECONNREFUSED) return {Status::noInstance, {}};
        return {Status::failed, describe(formatText(translate("Could not reach the running Quillet+ at %1"), {path.string()}), error)};
    }
    // A socket another user put at the path must never see the request.
    const auto owner = peerUser(socket.get());
    if (!owner || *owner != ::geteuid()) {
        return {Status::failed, path.string() + " is not the socket of this user's Quillet+"};
    }
    if (::send(socket.get(), message.data(), message.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(message.size())) {
        return {Status::failed, describe(translate("Could not send the request to the running Quillet+"), errno)};
    }
    pollfd waiting{socket.get(), POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&waiting, 1, static_cast<int>(timeout.count()));
    } while (ready < 0 && errno == EINTR);
    if (ready == 0) return {Status::failed, "The running Quillet+ did not answer"};
    // Not cleared first: an answer is a few bytes, and only the pages it lands on are touched.
    const auto reply = std::make_unique_for_overwrite<char[]>(kMaximumMessageSize);
    const ssize_t got = ::recv(socket.get(), reply.get(), kMaximumMessageSize, 0);
    if (got == 1 && reply[0] == kAccepted) return {Status::accepted, {}};
    if (got == 1 && reply[0] == kRefused) return {Status::refused, "The running Quillet+ refused the request"};
    if (got > 1) return {Status::accepted, {}, std::string(reply.get(), static_cast<std::size_t>(got))};
    return {Status::failed, "The running Quillet+ closed the connection without an answer"};
}

Received receive(int connection) {
    // Not cleared first, as in send().
    const auto buffer = std::make_unique_for_overwrite<char[]>(kMaximumMessageSize + 1);
    // MSG_TRUNC reports a packet's whole length, so a longer one is noticed, not cut short.
    const ssize_t got = ::recv(connection, buffer.get(), kMaximumMessageSize + 1, MSG_DONTWAIT | MSG_TRUNC);
    if (got < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return {Received::Status::pending, {}};
        return {Received::Status::closed, {}};
    }
    if (got == 0) return {Received::Status::closed, {}};
    if (static_cast<std::size_t>(got) > kMaximumMessageSize) return {Received::Status::malformed, {}};
    return {Received::Status::message, std::string(buffer.get(), static_cast<std::size_t>(got))};
}

void answer(int connection, char reply) { [[maybe_unused]] auto sent = ::send(connection, &reply, 1, MSG_NOSIGNAL); }

void answer(int connection, std::string_view reply) {
    [[maybe_unused]] auto sent =
        ::send(connection, reply.data(), std::min(reply.size(), kMaximumMessageSize), MSG_NOSIGNAL);
}

Listener::Listener(std::filesystem::path path) : path_(std::move(path)) {}

Listener::~Listener() {
    if (fd_ < 0) return;
    ::close(fd_);
    struct stat info {};
    if (::lstat(path_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_) ::unlink(path_.c_str());
}

bool Listener::listen() {
    if (fd_ >= 0) return true;
    const auto address = addressOf(path_);
    if (!address) {
        error_ = formatText(translate("The socket path is too long: %1"), {path_.string()});
        return false;
    }
    struct stat existing {};
    if (::lstat(path_.c_str(), &existing) == 0) {
        // Only a socket of this user's is taken for a left-over one; anything else stays.
        if (!S_ISSOCK(existing.st_mode) || existing.st_uid != ::geteuid()) {
            error_ = path_.string() + " exists and is not a socket of this user";
            return false;
        }
        if (::unlink(path_.c_str()) != 0 && errno != ENOENT) {
            error_ = describe(formatText(translate("Could not remove the old socket %1"), {path_.string()}), errno);
            return false;
        }
    }
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error_ = describe(translate("Could not open a socket"), errno);
        return false;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        error_ = describe(formatText(translate("Could not listen at %1"), {path_.string()}), errno);
        ::close(fd);
        return false;
    }
    struct stat bound {};
    // Credentials are checked on every connection; the mode keeps other users from connecting
    // at all where the folder lets them reach the file.
    if (::lstat(path_.c_str(), &bound) != 0 || ::chmod(path_.c_str(), 0600) != 0 || ::listen(fd, 16) != 0) {
        error_ = describe(formatText(translate("Could not listen at %1"), {path_.string()}), errno);
        ::close(fd);
        ::unlink(path_.c_str());
        return false;
    }
    fd_ = fd;
    device_ = bound.st_dev;
    inode_ = bound.st_ino;
    return true;
}

bool Listener::isInPlace() const {
    if (fd_ < 0) return false;
    struct stat info {};
    return ::lstat(path_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_;
}

bool Listener::listenAgain() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    return listen();
}

Listener::Accepted Listener::accept() {
    if (fd_ < 0) return {};
    const int connection = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (connection < 0) return {};
    const auto user = peerUser(connection);
    if (!user || *user != ::geteuid()) {
        ::close(connection);
        return {-1, user.value_or(static_cast<uid_t>(-1))};
    }
    return {connection, std::nullopt};
}

}  // namespace quillet::instance_socket
