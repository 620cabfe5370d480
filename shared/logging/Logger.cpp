#include "shared/logging/Logger.h"

#include <cstdio>
#include <sys/stat.h>

#ifdef QUILLET_HAVE_JOURNALD
#include <syslog.h>
#include <systemd/sd-journal.h>

#include <memory>
#include <mutex>

#include "shared/OnDemandLibrary.h"
#endif

namespace quillet {

std::string_view logLevelName(LogLevel level) {
    return level == LogLevel::Error ? "error" : "default";
}

namespace {

std::string stderrLine(const LogRecord& r) {
    std::string line = r.category;
    line += ' ';
    line += logLevelName(r.level);
    line += ": ";
    line += r.message;
    return line;
}

class StderrLogSink : public LogSink {
public:
    void write(const LogRecord& record) override {
        std::string line = stderrLine(record);
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
};

#ifdef QUILLET_HAVE_JOURNALD
// The journal's library is loaded with the first line written: most runs of the command line
// write none.
class JournaldLogSink : public LogSink {
public:
    void write(const LogRecord& r) override {
        std::call_once(loading_, [this] {
            library_ = std::make_unique<OnDemandLibrary>("libsystemd.so.0");
            send_ = library_->function<decltype(sd_journal_send)>("sd_journal_send");
        });
        if (!send_) {
            stderr_.write(r);
            return;
        }
        int priority = r.level == LogLevel::Error ? LOG_ERR : LOG_NOTICE;
        send_("MESSAGE=%s", r.message.c_str(), "PRIORITY=%d", priority, "QUILLET_SUBSYSTEM=%s", r.subsystem.c_str(),
              "QUILLET_CATEGORY=%s", r.category.c_str(), "SYSLOG_IDENTIFIER=quillet", nullptr);
    }

private:
    std::once_flag loading_;
    std::unique_ptr<OnDemandLibrary> library_;
    decltype(sd_journal_send)* send_ = nullptr;
    StderrLogSink stderr_;  // where the library cannot be loaded
};
#endif

}  // namespace

std::shared_ptr<LogSink> makeSystemLogSink(bool forceStderr) {
#ifdef QUILLET_HAVE_JOURNALD
    struct stat st {};
    if (!forceStderr && ::stat("/run/systemd/journal/socket", &st) == 0 && S_ISSOCK(st.st_mode)) {
        return std::make_shared<JournaldLogSink>();
    }
#else
    (void)forceStderr;
#endif
    return std::make_shared<StderrLogSink>();
}

namespace {

// The process's one sink; the only process-wide state of the shared library, since every
// logger of every component writes through it.
std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<LogSink>& currentSink() {
    static std::shared_ptr<LogSink> sink;
    return sink;
}

std::shared_ptr<LogSink> activeSink() {
    std::lock_guard lock(sinkMutex());
    auto& sink = currentSink();
    if (!sink) sink = makeSystemLogSink(false);
    return sink;
}

}  // namespace

void installLogSink(std::shared_ptr<LogSink> sink) {
    std::lock_guard lock(sinkMutex());
    currentSink() = std::move(sink);
}

void MemoryLogSink::write(const LogRecord& record) {
    std::lock_guard lock(mutex_);
    records_.push_back(record);
}

std::vector<LogRecord> MemoryLogSink::records() const {
    std::lock_guard lock(mutex_);
    return records_;
}

std::vector<std::string> MemoryLogSink::lines() const {
    std::vector<std::string> out;
    for (const auto& r : records()) out.push_back(stderrLine(r));
    return out;
}

bool MemoryLogSink::contains(std::string_view message) const {
    for (const auto& r : records())
        if (r.message == message) return true;
    return false;
}

void MemoryLogSink::clear() {
    std::lock_guard lock(mutex_);
    records_.clear();
}

ScopedLogSink::ScopedLogSink(std::shared_ptr<LogSink> sink) {
    std::lock_guard lock(sinkMutex());
    previous_ = currentSink();
    currentSink() = std::move(sink);
}

ScopedLogSink::~ScopedLogSink() {
    std::lock_guard lock(sinkMutex());
    currentSink() = std::move(previous_);
}

std::string formatLogMessage(std::string_view format, const std::vector<LogArg>& args) {
    std::string out;
    out.reserve(format.size() + 32);
    size_t next = 0;
    auto take = [&]() -> std::string_view {
        if (next < args.size()) return args[next++].text();
        return {};
    };
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        std::string_view rest = format.substr(i + 1);
        if (rest.starts_with("%")) {
            out += '%';
            i += 1;
        } else if (rest.starts_with("{public}s") || rest.starts_with("{private}s")) {
            out += take();
            i += rest.find('}') + 2;
        } else if (rest.starts_with("ld") || rest.starts_with("lu")) {
            out += take();
            i += 2;
        } else if (rest.starts_with("d") || rest.starts_with("s") || rest.starts_with("u")) {
            out += take();
            i += 1;
        } else {
            out += c;
        }
    }
    return out;
}

Logger::Logger(std::string subsystem, std::string category)
    : subsystem_(std::move(subsystem)), category_(std::move(category)) {}

void Logger::submit(LogLevel level, std::string_view format, std::vector<LogArg> args) const {
    LogRecord record{subsystem_, category_, level, formatLogMessage(format, args)};
    activeSink()->write(record);
}

}  // namespace quillet
