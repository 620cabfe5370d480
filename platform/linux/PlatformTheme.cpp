#include "platform/linux/PlatformTheme.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/linux/GioLibrary.h"

namespace quillet {

std::optional<std::string> platformThemeFor(std::string_view currentDesktop) {
    static constexpr std::array<std::string_view, 10> kGtkDesktops{
        "gnome", "x-cinnamon", "cinnamon", "mate", "xfce", "budgie", "pantheon", "unity", "lxde", "gnome-classic"};
    std::size_t start = 0;
    while (start <= currentDesktop.size()) {
        const std::size_t end = std::min(currentDesktop.find(':', start), currentDesktop.size());
        std::string name(currentDesktop.substr(start, end - start));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        if (name == "kde" || name == "lxqt") return std::nullopt;
        if (std::find(kGtkDesktops.begin(), kGtkDesktops.end(), name) != kGtkDesktops.end()) return "gtk3";
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<std::string> gtkThemeForDarkMode() {
    static constexpr const char* kSchema = "org.gnome.desktop.interface";
    const GioLibrary* gio = gioLibrary();
    if (!gio) return std::nullopt;
    GSettingsSchemaSource* source = gio->settings_schema_source_get_default();
    if (!source) return std::nullopt;
    GSettingsSchema* schema = gio->settings_schema_source_lookup(source, kSchema, TRUE);
    if (!schema) return std::nullopt;
    const bool known = gio->settings_schema_has_key(schema, "color-scheme") && gio->settings_schema_has_key(schema, "gtk-theme");
    gio->settings_schema_unref(schema);
    if (!known) return std::nullopt;
    GSettings* settings = gio->settings_new(kSchema);
    gchar* scheme = gio->settings_get_string(settings, "color-scheme");
    gchar* theme = gio->settings_get_string(settings, "gtk-theme");
    std::optional<std::string> result;
    const std::string name = theme ? theme : "";
    const bool alreadyDark = name.size() >= 5 && name.compare(name.size() - 5, 5, "-dark") == 0;
    if (scheme && std::string_view(scheme) == "prefer-dark" && !name.empty() && !alreadyDark) result = name + ":dark";
    g_free(scheme);
    g_free(theme);
    gio->object_unref(settings);
    return result;
}

}  // namespace quillet
