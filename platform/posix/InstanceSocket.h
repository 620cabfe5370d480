#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace quillet {

// The local socket through which later launches reach the running instance. Messages are whole
// packets (SOCK_SEQPACKET): one request from the launch, one answer from the instance: a
// byte, or the result of a request whose launch waits for it.
// Both ends check the other's credentials, so neither another user's process nor a socket
// another user planted at the path ever sees or answers a request.
namespace instance_socket {

// The longest request an instance reads; anything longer is refused unread.
inline constexpr std::size_t kMaximumMessageSize = 64 * 1024;
// The instance's answers.
inline constexpr char kAccepted = 'k';
inline constexpr char kRefused = 'x';

// In the user's runtime folder when there is one, else a file of this user's in the temporary
// folder.
std::filesystem::path pathFor(const std::optional<std::filesystem::path>& runtimeDirectory,
                              const std::filesystem::path& temporaryDirectory);

struct SendResult {
    enum class Status {
        accepted,    // the instance took the request
        noInstance,  // nothing listens at the path: no instance runs (or it is still starting)
        refused,     // the instance read the request and refused it as malformed
        failed,      // anything else; error() says what
    };
    Status status = Status::failed;
    std::string error;
    // accepted with more than the one byte: the instance's answer as it came
    std::string answer{};
};

// Sends one request to the instance listening at `path` and waits at most `timeout` for its
// answer.
SendResult send(const std::filesystem::path& path, std::string_view message, std::chrono::milliseconds timeout);

// What one accepted connection delivered.
struct Received {
    enum class Status {
        message,     // `message` holds the request
        pending,     // nothing to read yet: wait until the socket is readable
        malformed,   // empty, or longer than kMaximumMessageSize
        closed,      // the peer went away without a request
    };
    Status status = Status::closed;
    std::string message;
};

// Reads the request of a connection without blocking.
Received receive(int connection);
// Sends the one-byte answer; a peer that has gone away is not an error worth reporting.
void answer(int connection, char reply);
// Sends a longer answer (a result), at most kMaximumMessageSize bytes.
void answer(int connection, std::string_view reply);

// The running instance's end: created once the instance holds the single-instance lock, which is
// why a socket file already at the path can only be left over from a run that ended without
// cleaning up, and is replaced.
class Listener {
public:
    explicit Listener(std::filesystem::path path);
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // Binds (readable and writable by this user only) and listens. On failure error() says why.
    bool listen();
    // The listening socket, non-blocking, for the event loop to watch; -1 before listen().
    int fd() const { return fd_; }

    struct Accepted {
        int connection = -1;  // non-blocking; the caller closes it. -1: nothing to take
        std::optional<uid_t> refusedUser;  // set (and the connection already closed) for another user
    };
    // Takes one waiting connection. A process of another user is refused and not read from.
    Accepted accept();

    const std::string& error() const { return error_; }
    const std::filesystem::path& path() const { return path_; }

    // Whether the path still names the socket this listener bound: some session managers empty
    // the runtime folder under running programs, and later launches would then find no instance.
    bool isInPlace() const;
    // Closes the socket and listens anew at the path (a new fd()).
    bool listenAgain();

private:
    std::filesystem::path path_;
    int fd_ = -1;
    // The bound file, so that only it is removed at the end, never a later instance's.
    dev_t device_ = 0;
    ino_t inode_ = 0;
    std::string error_;
};

}  // namespace instance_socket

}  // namespace quillet
