// The Nemo (5.6) module: the three functions Nemo looks up in every module of its extension
// folder, and the menu provider they register, over the shared menu provider.
#include <gmodule.h>

// Nemo's headers declare their functions without C linkage; GLib's and GTK's are guarded already.
extern "C" {
#include <libnemo-extension/nemo-file-info.h>
#include <libnemo-extension/nemo-location-widget-provider.h>
#include <libnemo-extension/nemo-menu-provider.h>
}

#include "extension/gio/ModuleMenuProvider.h"
#include "extension/gio/ModuleTranslations.h"
#include "extension/gio/WindowFolderMark.h"
#include "shared/logging/Logger.h"
#include "shared/paths/UserEnvironment.h"

namespace quillet {
namespace {

struct NemoApi {
    using Item = NemoMenuItem;
    using Menu = NemoMenu;
    using FileInfo = NemoFileInfo;
    static constexpr bool showsHeaders = true;
    static Item* newItem(const char* name, const char* label, const char* tip, const char* icon) {
        return nemo_menu_item_new(name, label, tip, icon);
    }
    static Item* newSeparator(const char* name) { return nemo_menu_item_new_separator(name); }
    static Menu* newMenu() { return nemo_menu_new(); }
    static void append(Menu* menu, Item* item) { nemo_menu_append_item(menu, item); }
    static void setSubmenu(Item* item, Menu* menu) { nemo_menu_item_set_submenu(item, menu); }
    static void setSensitive(Item* item, bool sensitive) { g_object_set(item, "sensitive", sensitive, nullptr); }
    static char* uriScheme(FileInfo* info) { return nemo_file_info_get_uri_scheme(info); }
    static GFile* location(FileInfo* info) { return nemo_file_info_get_location(info); }
    static bool isFileInfo(gpointer object) { return NEMO_IS_FILE_INFO(object); }
};
using Provider = ModuleMenuProvider<NemoApi>;

GType providerType = 0;

GList* backgroundItems(NemoMenuProvider* provider, GtkWidget*, NemoFileInfo* folder) {
    return Provider::backgroundItems(provider, folder);
}
GList* fileItems(NemoMenuProvider* provider, GtkWidget*, GList* files) { return Provider::fileItems(provider, files); }

GtkWidget* locationWidget(NemoLocationWidgetProvider*, const char* uri, GtkWidget* window) {
    return markWindowFolder(uri, window);
}

void locationProviderInit(gpointer iface, gpointer) {
    static_cast<NemoLocationWidgetProviderIface*>(iface)->get_widget = locationWidget;
}

void menuProviderInit(gpointer iface, gpointer) {
    auto* menuIface = static_cast<NemoMenuProviderIface*>(iface);
    menuIface->get_file_items = fileItems;
    menuIface->get_background_items = backgroundItems;
}

}  // namespace
}  // namespace quillet

extern "C" {

// The module's composition root: the user's environment is read here, once, when Nemo loads it.
G_MODULE_EXPORT void nemo_module_initialize(GTypeModule* module) {
    try {
        const quillet::UserEnvironment environment = quillet::UserEnvironment::fromProcess();
        quillet::installLogSink(quillet::makeSystemLogSink(environment.logToStderr));
        quillet::bindModuleTranslations();
        const GTypeInfo info = quillet::menuProviderTypeInfo(environment);
        quillet::providerType =
            g_type_module_register_type(module, G_TYPE_OBJECT, "QuilletNemoMenuProvider", &info, GTypeFlags(0));
        const GInterfaceInfo menuProvider = {quillet::menuProviderInit, nullptr, nullptr};
        g_type_module_add_interface(module, quillet::providerType, NEMO_TYPE_MENU_PROVIDER, &menuProvider);
        // Each window marked with its folder, for Quillet+'s "file manager's folder".
        const GInterfaceInfo locationProvider = {quillet::locationProviderInit, nullptr, nullptr};
        g_type_module_add_interface(module, quillet::providerType, NEMO_TYPE_LOCATION_WIDGET_PROVIDER,
                                    &locationProvider);
    } catch (...) {
    }
}

G_MODULE_EXPORT void nemo_module_shutdown(void) {}

G_MODULE_EXPORT void nemo_module_list_types(const GType** types, int* numTypes) {
    static GType list[1];
    list[0] = quillet::providerType;
    *types = list;
    *numTypes = list[0] ? 1 : 0;
}

}  // extern "C"
