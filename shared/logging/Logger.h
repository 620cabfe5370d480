#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "shared/Identifiers.h"

namespace quillet {

enum class LogLevel { Default, Error };

std::string_view logLevelName(LogLevel level);

struct LogRecord {
    std::string subsystem;
    std::string category;
    LogLevel level;
    std::string message;
};

// Where log records go. The process has one active sink: the one its composition root
// installed, else (chosen at first use) journald when its socket exists, else stderr.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void write(const LogRecord& record) = 0;
};

// The system's log: journald when its socket exists, else stderr; stderr always when
// `forceStderr` (the user asked for it).
std::shared_ptr<LogSink> makeSystemLogSink(bool forceStderr);
// Makes `sink` the process's sink from now on; a composition root calls it once at launch.
void installLogSink(std::shared_ptr<LogSink> sink);

// Keeps every record; tests install one to assert the lines that matter.
class MemoryLogSink : public LogSink {
public:
    void write(const LogRecord& record) override;
    std::vector<LogRecord> records() const;
    // "Category level: message" lines, the stderr form.
    std::vector<std::string> lines() const;
    bool contains(std::string_view message) const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<LogRecord> records_;
};

// Replaces the process's sink for its lifetime, then restores the previous one.
class ScopedLogSink {
public:
    explicit ScopedLogSink(std::shared_ptr<LogSink> sink);
    ~ScopedLogSink();
    ScopedLogSink(const ScopedLogSink&) = delete;
    ScopedLogSink& operator=(const ScopedLogSink&) = delete;

private:
    std::shared_ptr<LogSink> previous_;
};

// One argument of a log format: a string for %{public}s (and %s), an integer for %d and %ld.
class LogArg {
public:
    LogArg(std::string_view s) : text_(s), isNumber_(false) {}
    LogArg(const std::string& s) : text_(s), isNumber_(false) {}
    LogArg(const char* s) : text_(s ? s : "(null)"), isNumber_(false) {}
    LogArg(int n) : text_(std::to_string(n)), isNumber_(true) {}
    LogArg(long n) : text_(std::to_string(n)), isNumber_(true) {}
    LogArg(long long n) : text_(std::to_string(n)), isNumber_(true) {}
    LogArg(unsigned n) : text_(std::to_string(n)), isNumber_(true) {}
    LogArg(unsigned long n) : text_(std::to_string(n)), isNumber_(true) {}
    const std::string& text() const { return text_; }

private:
    std::string text_;
    [[maybe_unused]] bool isNumber_;
};

// Expands %{public}s, %{private}s, %s, %d, %ld, %u, %lu and %% in a unified-log style format.
// A missing argument expands to nothing; surplus arguments are ignored.
std::string formatLogMessage(std::string_view format, const std::vector<LogArg>& args);

// A component's logger: subsystem (bundle identifier) plus category.
class Logger {
public:
    Logger(std::string subsystem, std::string category);

    template <typename... Args>
    void log(std::string_view format, const Args&... args) const {
        submit(LogLevel::Default, format, {LogArg(args)...});
    }
    template <typename... Args>
    void error(std::string_view format, const Args&... args) const {
        submit(LogLevel::Error, format, {LogArg(args)...});
    }

    const std::string& subsystem() const { return subsystem_; }
    const std::string& category() const { return category_; }

private:
    // Not "emit": Qt defines that as a macro, and toolkit code includes this header too.
    void submit(LogLevel level, std::string_view format, std::vector<LogArg> args) const;
    std::string subsystem_;
    std::string category_;
};

inline constexpr const char* kAppSubsystem = kBundleIdentifier;

}  // namespace quillet
