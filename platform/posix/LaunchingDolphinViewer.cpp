#include "platform/posix/LaunchingDolphinViewer.h"

#include <utility>

#if QUILLET_HAVE_SDBUS
#include <systemd/sd-bus.h>
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

LaunchingDolphinViewer::LaunchingDolphinViewer(pid_t parent, std::string sessionBusAddress)
    : parent_(parent), sessionBusAddress_(std::move(sessionBusAddress)) {}

void LaunchingDolphinViewer::activateFileViewerSelecting(const std::vector<std::filesystem::path>& files) {
#if QUILLET_HAVE_SDBUS
    if (files.empty() || parent_ <= 1 || sessionBusAddress_.empty()) return;
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0) return;
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    sd_bus_error error{};  // SD_BUS_ERROR_NULL, which C++ cannot spell
    const std::string name = dolphinBusName(parent_);
    // A Dolphin that is busy must not hold the command (the file is made already).
    bool ok = sd_bus_set_address(bus, sessionBusAddress_.c_str()) >= 0 && sd_bus_set_bus_client(bus, 1) >= 0 &&
              sd_bus_start(bus) >= 0 &&
              sd_bus_message_new_method_call(bus, &call, name.c_str(), "/org/freedesktop/FileManager1",
                                             "org.freedesktop.FileManager1", "ShowItems") >= 0 &&
              // A parent that is no Dolphin has no such name; nothing is to be started for it.
              sd_bus_message_set_auto_start(call, 0) >= 0 && sd_bus_message_open_container(call, 'a', "s") >= 0;
    for (const auto& file : files)
        if (ok && file.is_absolute()) ok = sd_bus_message_append(call, "s", fileURIForPath(file).c_str()) >= 0;
    ok = ok && sd_bus_message_close_container(call) >= 0 && sd_bus_message_append(call, "s", "") >= 0;
    if (ok) {
        const int r = sd_bus_call(bus, call, 2'000'000, &error, &reply);
        if (r < 0 && !sd_bus_error_has_name(&error, "org.freedesktop.DBus.Error.ServiceUnknown") &&
            !sd_bus_error_has_name(&error, "org.freedesktop.DBus.Error.NameHasNoOwner"))
            Logger(kAppSubsystem, "Reveal").error("Dolphin did not show the new file: %{public}s",
                                                 std::string(error.message ? error.message : "no answer"));
    }
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    sd_bus_message_unref(call);
    sd_bus_flush_close_unref(bus);
#else
    (void)files;
#endif
}

}  // namespace quillet
