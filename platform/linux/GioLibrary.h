#pragma once

// GLib only here: its headers name struct fields "signals", which Qt defines as a macro.
#include <gio/gio.h>

namespace quillet {

// The calls Quillet+ makes into GIO and GObject, found when first needed. They serve rare
// moments (trashing the bundle, reading GNOME's dark mode at launch there, GNOME's key bindings),
// so the program is not linked with them: the idle application does not map GIO and the
// libraries it brings (mount, blkid, SELinux, ffi; some 1 MB).
struct GioLibrary {
    decltype(&::g_object_unref) object_unref;
    decltype(&::g_file_new_for_path) file_new_for_path;
    decltype(&::g_file_trash) file_trash;
    decltype(&::g_settings_schema_source_get_default) settings_schema_source_get_default;
    decltype(&::g_settings_schema_source_lookup) settings_schema_source_lookup;
    decltype(&::g_settings_schema_has_key) settings_schema_has_key;
    decltype(&::g_settings_schema_unref) settings_schema_unref;
    decltype(&::g_settings_new) settings_new;
    decltype(&::g_settings_new_with_path) settings_new_with_path;
    decltype(&::g_settings_get_string) settings_get_string;
    decltype(&::g_settings_get_strv) settings_get_strv;
    decltype(&::g_settings_set_string) settings_set_string;
    decltype(&::g_settings_set_strv) settings_set_strv;
    decltype(&::g_settings_reset) settings_reset;
    decltype(&::g_settings_sync) settings_sync;
};

// GIO's calls, loaded at the first call; nullptr where GIO is not installed.
const GioLibrary* gioLibrary();

}  // namespace quillet
