#pragma once

// Marks a file manager window with the folder it shows, for Quillet+'s "file manager's folder":
// Nemo and Caja tell no one their windows' folders, but ask an extension's location-widget
// provider on every navigation, with the window. The mark is an X property on the window (kept
// up to date, and taken away on a location without a local path); on Wayland nothing is marked.
// Header only, for the GTK 3 modules that include it (Nautilus's GTK 4 process has no use for it).

#include <gdk/gdk.h>
#include <gtk/gtk.h>

#include <cstring>
#include <string>

#include "extension/gio/CaughtExceptionLog.h"
#include "extension/gio/MenuProviderState.h"
#include "shared/Identifiers.h"

namespace quillet {

inline void applyFolderMark(GtkWidget* toplevel) {
    GdkWindow* window = gtk_widget_get_window(toplevel);
    if (!window) return;
    const auto* folder = static_cast<const char*>(g_object_get_data(G_OBJECT(toplevel), kFolderMarkProperty));
    const GdkAtom property = gdk_atom_intern_static_string(kFolderMarkProperty);
    if (!folder || !*folder) {
        gdk_property_delete(window, property);
        return;
    }
    gdk_property_change(window, property, gdk_atom_intern_static_string("UTF8_STRING"), 8, GDK_PROP_MODE_REPLACE,
                        reinterpret_cast<const guchar*>(folder), static_cast<gint>(std::strlen(folder)));
}

inline void applyFolderMarkWhenRealized(GtkWidget* toplevel, gpointer) { applyFolderMark(toplevel); }

// The location-widget provider's get_widget: marks the window and adds no widget. Nothing thrown
// reaches the file manager.
inline GtkWidget* markWindowFolder(const char* uri, GtkWidget* window) noexcept try {
    if (!uri || !window) return nullptr;
    GtkWidget* toplevel = gtk_widget_get_toplevel(window);
    if (!toplevel) return nullptr;
    GFile* location = g_file_new_for_uri(uri);
    char* scheme = g_file_get_uri_scheme(location);
    const auto path = localPathOf(scheme, location);
    g_free(scheme);
    g_object_unref(location);
    g_object_set_data_full(G_OBJECT(toplevel), kFolderMarkProperty, g_strdup(path ? path->c_str() : ""), g_free);
    // The first navigation comes before the window exists on the screen.
    if (!g_object_get_data(G_OBJECT(toplevel), "quillet-plus-mark-on-realize")) {
        g_signal_connect(toplevel, "realize", G_CALLBACK(applyFolderMarkWhenRealized), nullptr);
        g_object_set_data(G_OBJECT(toplevel), "quillet-plus-mark-on-realize", GINT_TO_POINTER(1));
    }
    applyFolderMark(toplevel);
    return nullptr;
} catch (...) {
    logCaughtException("Marking the window with its folder");
    return nullptr;
}

}  // namespace quillet
