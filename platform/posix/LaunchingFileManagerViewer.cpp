#include "platform/posix/LaunchingFileManagerViewer.h"

#include <cstdlib>
#include <utility>

#if QUILLET_HAVE_SDBUS
#include <systemd/sd-bus.h>

#include "shared/OnDemandLibrary.h"
#endif

#include "shared/logging/Logger.h"

namespace quillet {

std::string dolphinBusName(pid_t pid) { return "org.kde.dolphin-" + std::to_string(pid); }

std::string fileURIForPath(const std::filesystem::path& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const unsigned char c : path.string()) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 0x0F];
        }
    }
    return uri;
}

std::string sessionBusAddressOf(const std::string& given, const std::filesystem::path& runtimeDirectory) {
    if (!given.empty()) return given;
    if (runtimeDirectory.empty()) return {};
    std::error_code error;
    const std::filesystem::path socket = runtimeDirectory / "bus";
    if (!std::filesystem::exists(socket, error)) return {};
    return "unix:path=" + socket.string();
}

#if QUILLET_HAVE_SDBUS
namespace {

// The calls on the session bus this makes, from the library loaded for the one call that needs
// it: a creation for a click in a file manager.
struct SessionBusLibrary {
    OnDemandLibrary library{"libsystemd.so.0"};
    // Counted as the functions below are looked up (members start in the order written).
    int missing = 0;
    template <typename F>
    F* find(const char* name) {
        F* function = library.function<F>(name);
        if (!function) ++missing;
        return function;
    }
#define QUILLET_SD_FUNCTION(name) decltype(::name)* name = find<decltype(::name)>(#name)
    QUILLET_SD_FUNCTION(sd_bus_new);
    QUILLET_SD_FUNCTION(sd_bus_set_address);
    QUILLET_SD_FUNCTION(sd_bus_set_bus_client);
    QUILLET_SD_FUNCTION(sd_bus_start);
    QUILLET_SD_FUNCTION(sd_bus_flush_close_unref);
    QUILLET_SD_FUNCTION(sd_bus_get_name_creds);
    QUILLET_SD_FUNCTION(sd_bus_creds_get_pid);
    QUILLET_SD_FUNCTION(sd_bus_creds_unref);
    QUILLET_SD_FUNCTION(sd_bus_list_names);
    QUILLET_SD_FUNCTION(sd_bus_message_new_method_call);
    QUILLET_SD_FUNCTION(sd_bus_message_set_auto_start);
    QUILLET_SD_FUNCTION(sd_bus_message_open_container);
    QUILLET_SD_FUNCTION(sd_bus_message_close_container);
    QUILLET_SD_FUNCTION(sd_bus_message_append);
    QUILLET_SD_FUNCTION(sd_bus_message_unref);
    QUILLET_SD_FUNCTION(sd_bus_call);
    QUILLET_SD_FUNCTION(sd_bus_error_has_name);
    QUILLET_SD_FUNCTION(sd_bus_error_free);
#undef QUILLET_SD_FUNCTION

    bool complete() const { return missing == 0; }
};

bool heldBy(const SessionBusLibrary& sd, sd_bus* bus, const char* name, pid_t pid) {
    sd_bus_creds* creds = nullptr;
    pid_t holder = 0;
    const bool held = sd.sd_bus_get_name_creds(bus, name, SD_BUS_CREDS_PID, &creds) >= 0 &&
                      sd.sd_bus_creds_get_pid(creds, &holder) >= 0 && holder == pid;
    sd.sd_bus_creds_unref(creds);
    return held;
}

// The well-known name `pid` holds on the bus, Dolphin's own first; else the shared name.
std::string nameHeldBy(const SessionBusLibrary& sd, sd_bus* bus, pid_t pid) {
    constexpr const char* shared = "org.freedesktop.FileManager1";
    if (pid <= 1) return shared;
    const std::string dolphin = dolphinBusName(pid);
    if (heldBy(sd, bus, dolphin.c_str(), pid)) return dolphin;
    char** names = nullptr;
    if (sd.sd_bus_list_names(bus, &names, nullptr) < 0 || !names) return {};
    std::string found;
    for (char** name = names; *name; ++name) {
        if (found.empty() && **name != ':' && heldBy(sd, bus, *name, pid)) found = *name;
        free(*name);
    }
    free(names);
    return found.empty() ? shared : found;
}

}  // namespace
#endif

LaunchingFileManagerViewer::LaunchingFileManagerViewer(pid_t parent, std::string sessionBusAddress)
    : parent_(parent), sessionBusAddress_(std::move(sessionBusAddress)) {}

void LaunchingFileManagerViewer::activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) {
#if QUILLET_HAVE_SDBUS
    if (files.empty() || sessionBusAddress_.empty()) return;
    const SessionBusLibrary sd;
    if (!sd.complete()) return;
    sd_bus* bus = nullptr;
    if (sd.sd_bus_new(&bus) < 0) return;
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    sd_bus_error error{};  // SD_BUS_ERROR_NULL, which C++ cannot spell
    bool ok = sd.sd_bus_set_address(bus, sessionBusAddress_.c_str()) >= 0 && sd.sd_bus_set_bus_client(bus, 1) >= 0 &&
              sd.sd_bus_start(bus) >= 0;
    const std::string name = ok ? nameHeldBy(sd, bus, parent_) : std::string();
    // A file manager that is busy must not hold the command (the file is made already).
    ok = ok && !name.empty() &&
         sd.sd_bus_message_new_method_call(bus, &call, name.c_str(), "/org/freedesktop/FileManager1",
                                           "org.freedesktop.FileManager1", "ShowItems") >= 0 &&
         sd.sd_bus_message_set_auto_start(call, 0) >= 0 && sd.sd_bus_message_open_container(call, 'a', "s") >= 0;
    for (const auto& file : files)
        if (ok && file.is_absolute()) ok = sd.sd_bus_message_append(call, "s", fileURIForPath(file).c_str()) >= 0;
    ok = ok && sd.sd_bus_message_close_container(call) >= 0 && sd.sd_bus_message_append(call, "s", "") >= 0;
    if (ok) {
        const int r = sd.sd_bus_call(bus, call, 2'000'000, &error, &reply);
        if (r < 0 && !sd.sd_bus_error_has_name(&error, "org.freedesktop.DBus.Error.ServiceUnknown") &&
            !sd.sd_bus_error_has_name(&error, "org.freedesktop.DBus.Error.NameHasNoOwner"))
            Logger(kAppSubsystem, "Reveal").error("%{public}s did not show the new file: %{public}s", name,
                                                 std::string(error.message ? error.message : "no answer"));
    }
    sd.sd_bus_error_free(&error);
    sd.sd_bus_message_unref(reply);
    sd.sd_bus_message_unref(call);
    sd.sd_bus_flush_close_unref(bus);
#else
    (void)files;
#endif
}

}  // namespace quillet
