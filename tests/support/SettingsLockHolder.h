#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace quillet::test {

// Another process holding the write lock of a settings database (tests/support/
// hold_settings_lock.py): held from construction until release() or `seconds` have passed.
class SettingsLockHolder {
public:
    SettingsLockHolder(const std::filesystem::path& database, double seconds) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::close(in[1]);
            ::close(out[0]);
            const std::string script = QUILLET_SOURCE_DIR "/tests/support/hold_settings_lock.py";
            const std::string duration = std::to_string(seconds);
            ::execlp("python3", "python3", script.c_str(), database.c_str(), duration.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        output_ = out[0];
        locked_ = readLine() == "locked";
    }
    ~SettingsLockHolder() {
        release();
        if (output_ >= 0) ::close(output_);
    }
    SettingsLockHolder(const SettingsLockHolder&) = delete;
    SettingsLockHolder& operator=(const SettingsLockHolder&) = delete;

    // Whether the other process holds the lock (it said so).
    bool isLocked() const { return locked_; }
    // Lets go of the lock now and waits for the process to end.
    void release() {
        if (input_ >= 0) ::close(input_);
        input_ = -1;
        waitForExit();
    }
    // Waits for the process to end by itself (its time is up).
    void waitForExit() {
        if (pid_ <= 0) return;
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    std::string readLine() {
        std::string line;
        char c;
        while (::read(output_, &c, 1) == 1 && c != '\n') line += c;
        return line;
    }

    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    bool locked_ = false;
};

}  // namespace quillet::test
