// Kills a process in the middle of writing settings, again and again, and checks that the suite
// still opens and holds every assignment that had returned before the kill.
//
// A forked writer makes COUNT single-key assignments and reports each one on a pipe as soon as
// its call has returned. The checker kills it with SIGKILL at a random moment, then opens the
// suite itself and compares every key with what the reports say must be there. The assignment
// that was in flight at the kill may or may not have landed; either is fine, anything else is not.
// Keys are reused (each is assigned several times) so replacing is tested as well as inserting,
// and every earlier round is checked again after each kill.
//
// With --full-disk ROOM the suite lives on a private tmpfs that is filled up before each round
// to leave ROOM bytes free, and every 25th value is large (up to one and a half times ROOM), so
// the disk fills up and assignments are refused: the writer reports each refusal too, a refused
// assignment must leave the value before it in place.
//
// Usage: quillet_defaults_kill_check [--rounds N] [--count N] [--seed N] [--full-disk ROOM]
// Exit 0 when every round passed, 77 when the small disk cannot be mounted (needs root). The
// suite lives in a fresh temporary folder.

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "shared/settings/DefaultsSuite.h"
#include "shared/errors/PlatformError.h"
#include "shared/logging/Logger.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

constexpr const char* kSuite = DefaultsSuite::kSharedSuiteName;

std::string key(int round, int i, int slots) {
    return "r" + std::to_string(round) + ".k" + std::to_string(i % slots);
}

// A value of a kind that cycles with i and that encodes i, so a stale value is told apart. On a
// small disk every 25th one is large, up to `largest` bytes.
DefaultsValue valueFor(int round, int i, long largest) {
    const std::int64_t n = i;
    if (largest > 0 && i % 25 == 0)
        return DefaultsValue::Data(static_cast<size_t>(i) * 7919 % static_cast<size_t>(largest) + 1,
                                   static_cast<std::uint8_t>(i + round));
    switch (i % 7) {
        case 0: return n * 1000003 + round;
        case 1: return "value " + std::to_string(i) + " of round " + std::to_string(round);
        case 2: return (static_cast<double>(i) + 0.1) * (round + 1);
        case 3: {
            DefaultsValue::Data data;
            for (int b = 0; b < 8; ++b) data.push_back(static_cast<std::uint8_t>(n >> (8 * b)));
            return data;
        }
        case 4: return DefaultsValue::Array{"txt", n};
        case 5: return DefaultsValue::Dictionary{{"i", n}, {"round", round}};
        default: return DefaultsValue::Array{i % 2 == 0, n, std::string(static_cast<size_t>(i % 40), 'x')};
    }
}

[[noreturn]] void writer(const fs::path& configHome, int round, int count, int slots, long largest,
                         int reportFd) {
    auto suite = DefaultsSuite::open(configHome, kSuite);
    if (!suite) ::_exit(3);
    for (int i = 0; i < count; ++i) {
        // Only a full disk may refuse an assignment, and it must say so.
        char outcome = '+';
        try {
            suite->setOrThrow(key(round, i, slots), valueFor(round, i, largest));
        } catch (const PlatformError& e) {
            if (largest == 0 || e.description().find("could not be saved") == std::string::npos) ::_exit(4);
            outcome = '-';
        }
        // Reported only after the call returned: whatever the checker reads must be on disk.
        char line[24];
        int size = std::snprintf(line, sizeof line, "%d %c\n", i, outcome);
        if (::write(reportFd, line, static_cast<size_t>(size)) != size) ::_exit(5);
    }
    ::_exit(0);
}

struct Round {
    bool verified = false;
    int lastReturned = -1;          // highest assignment reported as returned
    std::vector<bool> refused;      // per assignment: the suite reported it was not stored
    std::vector<std::optional<DefaultsValue>> expected;  // per slot, as verified after the kill
};

// What each slot must hold: the last returned assignment to it, or (for the slot of the one in
// flight) that assignment if it landed. Fills `round.expected` with what was found.
bool verify(DefaultsSuite& suite, int roundNumber, int slots, long largest, Round& round, std::string& problem) {
    const int inFlight = round.lastReturned + 1;
    round.expected.assign(static_cast<size_t>(slots), std::nullopt);
    for (int slot = 0; slot < slots; ++slot) {
        std::optional<DefaultsValue> mustBe;
        for (int i = slot; i <= round.lastReturned; i += slots)
            if (!round.refused[static_cast<size_t>(i)]) mustBe = valueFor(roundNumber, i, largest);
        auto found = suite.get(key(roundNumber, slot, slots));
        const bool inFlightLanded =
            inFlight % slots == slot && found && *found == valueFor(roundNumber, inFlight, largest);
        if (found != mustBe && !inFlightLanded) {
            problem = "slot " + std::to_string(slot) + " of round " + std::to_string(roundNumber) +
                      (found ? " holds another value" : " is missing") + " (last returned assignment " +
                      std::to_string(round.lastReturned) + ")";
            return false;
        }
        round.expected[static_cast<size_t>(slot)] = found;
    }
    return true;
}

constexpr long kSmallDiskSize = 16L * 1024 * 1024;

// Fills the disk with `file`, then gives `room` bytes of it back.
void leaveRoom(const fs::path& file, long room) {
    ::unlink(file.c_str());
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    const off_t size = ::lseek(fd, 0, SEEK_END);
    if (::ftruncate(fd, size > room ? size - room : 0) != 0) std::perror("ftruncate");
    ::close(fd);
}

bool unchanged(DefaultsSuite& suite, int roundNumber, int slots, const Round& round) {
    for (int slot = 0; slot < slots; ++slot)
        if (suite.get(key(roundNumber, slot, slots)) != round.expected[static_cast<size_t>(slot)]) return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 10, count = 10000;
    long smallDiskBytes = 0;
    unsigned seed = std::random_device{}();
    for (int a = 1; a + 1 < argc; a += 2) {
        if (!std::strcmp(argv[a], "--rounds")) rounds = std::atoi(argv[a + 1]);
        else if (!std::strcmp(argv[a], "--count")) count = std::atoi(argv[a + 1]);
        else if (!std::strcmp(argv[a], "--seed")) seed = static_cast<unsigned>(std::strtoul(argv[a + 1], nullptr, 10));
        else if (!std::strcmp(argv[a], "--full-disk")) smallDiskBytes = std::atol(argv[a + 1]);
    }
    if (rounds < 1 || count < 20) {
        std::cerr << "usage: quillet_defaults_kill_check [--rounds N] [--count N>=20] [--seed N] [--full-disk ROOM]\n";
        return 2;
    }
    const int slots = std::max(1, count / 4);
    std::mt19937 random(seed);

    char pattern[] = "/tmp/quillet-kill-check-XXXXXX";
    if (!::mkdtemp(pattern)) return 2;
    const fs::path configHome = pattern;
    const bool smallDisk = smallDiskBytes > 0;
    const long largest = smallDiskBytes * 3 / 2;
    if (smallDisk) {
        // A mount namespace of this process (and the writers it forks) alone, so the small disk
        // is seen by nothing else and goes away with it.
        const std::string options = "size=" + std::to_string(kSmallDiskSize) + ",mode=0700";
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", configHome.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            std::cout << "skipped: cannot mount a small disk (" << std::strerror(errno) << ")\n";
            ::rmdir(pattern);
            return 77;
        }
    }
    const fs::path folder = configHome / kSuite;
    std::cout << "suite " << folder / DefaultsSuite::kDatabaseFileName << ", seed " << seed << ", " << rounds
              << " rounds of up to " << count << " assignments over " << slots << " keys\n";

    std::vector<Round> done;
    int failures = 0;
    long totalReturned = 0, totalRefused = 0;
    bool storedAfterRefusal = false;
    double totalSeconds = 0;
    for (int r = 0; r < rounds; ++r) {
        if (smallDisk) leaveRoom(configHome / "filler", smallDiskBytes);
        int fds[2];
        if (::pipe(fds) != 0) return 2;
        std::uniform_int_distribution<int> killAfter(1, count - 1);
        std::uniform_int_distribution<int> extraMicroseconds(0, 5000);
        const int target = killAfter(random);
        const auto started = std::chrono::steady_clock::now();
        const pid_t pid = ::fork();
        if (pid < 0) return 2;
        if (pid == 0) {
            ::close(fds[0]);
            writer(configHome, r, count, slots, largest, fds[1]);
        }
        ::close(fds[1]);

        Round round;
        bool killed = false;
        std::string pending;
        char buffer[4096];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
            pending.append(buffer, static_cast<size_t>(n));
            size_t end;
            while ((end = pending.find('\n')) != std::string::npos) {
                round.lastReturned = std::atoi(pending.substr(0, end).c_str());
                round.refused.resize(static_cast<size_t>(round.lastReturned) + 1);
                round.refused.back() = end > 0 && pending[end - 1] == '-';
                pending.erase(0, end + 1);
            }
            if (!killed && round.lastReturned + 1 >= target) {
                std::this_thread::sleep_for(std::chrono::microseconds(extraMicroseconds(random)));
                ::kill(pid, SIGKILL);
                killed = true;
            }
        }
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        totalSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        totalReturned += round.lastReturned + 1;
        const long refusedNow = std::count(round.refused.begin(), round.refused.end(), true);
        totalRefused += refusedNow;
        // The same writer, on the same full disk, stores again after a refusal.
        bool sawRefusal = false;
        for (const bool refused : round.refused) {
            if (refused) sawRefusal = true;
            else if (sawRefusal) storedAfterRefusal = true;
        }
        const bool byKill = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;

        std::string problem;
        bool ok = true;
        if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
            problem = "the writer failed with status " + std::to_string(WEXITSTATUS(status));
            ok = false;
        }
        auto suite = ok ? DefaultsSuite::open(configHome, kSuite) : nullptr;
        if (ok && !suite) {
            problem = "the suite did not open";
            ok = false;
        }
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().find(".invalid-") != std::string::npos) {
                problem = "the suite was moved aside as damaged: " + entry.path().string();
                ok = false;
            }
        if (ok) ok = verify(*suite, r, slots, largest, round, problem);
        round.verified = ok;
        for (size_t earlier = 0; ok && earlier < done.size(); ++earlier)
            if (done[earlier].verified && !unchanged(*suite, static_cast<int>(earlier), slots, done[earlier])) {
                problem = "round " + std::to_string(earlier) + " changed after a later kill";
                ok = false;
            }
        std::cout << "round " << r << ": " << (byKill ? "killed" : "not killed (writer finished)") << " after "
                  << round.lastReturned + 1 << " returned assignments"
                  << (smallDisk ? " (" + std::to_string(refusedNow) + " refused)" : std::string()) << "; "
                  << (ok ? "opened, every returned assignment present" : "FAILED: " + problem) << "\n";
        if (!ok) ++failures;
        done.push_back(std::move(round));
    }
    std::error_code ec;
    if (smallDisk) {
        // A disk that never filled up tested nothing about a full one.
        if (totalRefused == 0) {
            std::cout << "FAILED: the small disk never refused an assignment\n";
            ++failures;
        }
        // Whether a writer stored again after a refusal depends on where the kills fell; the
        // unit tests check that recovery on their own.
        std::cout << (storedAfterRefusal ? "a writer stored again after a refusal\n"
                                         : "no writer stored again after a refusal\n");
        for (const auto& entry : fs::directory_iterator(configHome, ec)) fs::remove_all(entry.path(), ec);
        ::umount(configHome.c_str());
    }
    fs::remove_all(configHome, ec);
    std::cout << (failures ? "FAILED" : "passed") << ": " << rounds - failures << " of " << rounds
              << " rounds; " << totalReturned << " assignments returned before the kills"
              << (smallDisk ? " (" + std::to_string(totalRefused) + " refused as not stored)" : std::string()) << ", "
              << (totalSeconds > 0 ? static_cast<long>(totalReturned / totalSeconds) : 0)
              << " assignments per second\n";
    return failures ? 1 : 0;
}
