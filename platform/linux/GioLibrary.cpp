#include "platform/linux/GioLibrary.h"

#include <optional>
#include <type_traits>

#include "shared/OnDemandLibrary.h"

namespace quillet {

namespace {

template <typename Function>
bool find(const OnDemandLibrary& library, const char* name, Function& function) {
    function = library.function<std::remove_pointer_t<Function>>(name);
    return function != nullptr;
}

std::optional<GioLibrary> load() {
    // Kept for the process: GObject's types cannot be unregistered.
    static const OnDemandLibrary handle("libgio-2.0.so.0");
    if (!handle.loaded()) return std::nullopt;
    GioLibrary gio{};
    const bool found = find(handle, "g_object_unref", gio.object_unref) &&
                       find(handle, "g_file_new_for_path", gio.file_new_for_path) &&
                       find(handle, "g_file_trash", gio.file_trash) &&
                       find(handle, "g_settings_schema_source_get_default", gio.settings_schema_source_get_default) &&
                       find(handle, "g_settings_schema_source_lookup", gio.settings_schema_source_lookup) &&
                       find(handle, "g_settings_schema_has_key", gio.settings_schema_has_key) &&
                       find(handle, "g_settings_schema_unref", gio.settings_schema_unref) &&
                       find(handle, "g_settings_new", gio.settings_new) &&
                       find(handle, "g_settings_new_with_path", gio.settings_new_with_path) &&
                       find(handle, "g_settings_get_string", gio.settings_get_string) &&
                       find(handle, "g_settings_get_strv", gio.settings_get_strv) &&
                       find(handle, "g_settings_set_string", gio.settings_set_string) &&
                       find(handle, "g_settings_set_strv", gio.settings_set_strv) &&
                       find(handle, "g_settings_reset", gio.settings_reset) &&
                       find(handle, "g_settings_sync", gio.settings_sync);
    if (!found) return std::nullopt;
    return gio;
}

}  // namespace

const GioLibrary* gioLibrary() {
    // The process has one dynamic loader; the library is looked for once.
    static const std::optional<GioLibrary> library = load();
    return library ? &*library : nullptr;
}

}  // namespace quillet
