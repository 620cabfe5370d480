#include "platform/linux/ModuleFileManagers.h"

#include <QProcess>
#include <QStringList>

#include <unistd.h>

#include <utility>

#include "platform/posix/ModuleLoadingProcesses.h"

namespace quillet {

namespace {

QStringList argumentsOf(const std::vector<std::string>& words) {
    QStringList arguments;
    for (size_t i = 1; i < words.size(); ++i) arguments << QString::fromStdString(words[i]);
    return arguments;
}

// Runs the command with no input or output, waiting at most `milliseconds` for it to end; whether
// it ended with status 0.
bool runBriefly(const std::vector<std::string>& words, int milliseconds) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(QString::fromStdString(words.front()), argumentsOf(words));
    if (!process.waitForFinished(milliseconds)) {
        process.kill();
        process.waitForFinished(milliseconds);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

}  // namespace

ModuleFileManagers::ModuleFileManagers(QDBusConnection bus, std::filesystem::path procRoot)
    : nautilus_(std::move(bus)), procRoot_(std::move(procRoot)) {}

std::vector<RunningFileManager> ModuleFileManagers::running() {
    std::vector<RunningFileManager> instances = nautilus_.running();
    for (auto& instance : instances) instance.program = kNautilusProgram;
    for (auto& instance : processesWithModuleLoaded(procRoot_, ::getuid())) {
        // Nautilus is reached through its bus name; a program we cannot start again is left alone.
        if (instance.program == kNautilusProgram || !fileManagerQuitCommand(instance.program)) continue;
        instances.push_back(std::move(instance));
    }
    return instances;
}

bool ModuleFileManagers::terminate(const RunningFileManager& instance) {
    if (instance.program == kNautilusProgram) return nautilus_.terminate(instance);
    const auto command = fileManagerQuitCommand(instance.program);
    if (!command) return false;
    stopped_.insert(instance.program);
    return runBriefly(*command, kQuitCommandMilliseconds);
}

void ModuleFileManagers::forceTerminate(const RunningFileManager& instance) {
    if (instance.program != kNautilusProgram && fileManagerQuitCommand(instance.program))
        stopped_.insert(instance.program);
    nautilus_.forceTerminate(instance);
}

bool ModuleFileManagers::isTerminated(const RunningFileManager& instance) {
    if (instance.program == kNautilusProgram) return nautilus_.isTerminated(instance);
    return processHasEnded(instance.processIdentifier);
}

void ModuleFileManagers::relaunch() {
    nautilus_.relaunch();
    for (const auto& program : stopped_)
        if (const auto command = fileManagerBackgroundCommand(program))
            // Detached: it outlives the application, which may end at once.
            QProcess::startDetached(QString::fromStdString(command->front()), argumentsOf(*command));
    stopped_.clear();
}

}  // namespace quillet
