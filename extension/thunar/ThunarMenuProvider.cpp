#include "extension/thunar/ThunarMenuProvider.h"

// Thunar's headers declare their functions without C linkage; GLib's are guarded already.
extern "C" {
#include <thunarx/thunarx.h>
}

#include "extension/gio/ModuleMenuProvider.h"

namespace quillet {

namespace {

struct ThunarApi {
    using Item = ThunarxMenuItem;
    using Menu = ThunarxMenu;
    using FileInfo = ThunarxFileInfo;
    // Thunar's menus have neither separators nor greyed headers: an item made insensitive is
    // drawn like the others.
    static constexpr bool showsHeaders = false;
    static Item* newItem(const char* name, const char* label, const char* tip, const char* icon) {
        return thunarx_menu_item_new(name, label, tip, icon);
    }
    static Item* newSeparator(const char*) { return nullptr; }
    static Menu* newMenu() { return thunarx_menu_new(); }
    static void append(Menu* menu, Item* item) { thunarx_menu_append_item(menu, item); }
    static void setSubmenu(Item* item, Menu* menu) { thunarx_menu_item_set_menu(item, menu); }
    static void setSensitive(Item* item, bool sensitive) { thunarx_menu_item_set_sensitive(item, sensitive); }
    static char* uriScheme(FileInfo* info) { return thunarx_file_info_get_uri_scheme(info); }
    static GFile* location(FileInfo* info) { return thunarx_file_info_get_location(info); }
    static bool isFileInfo(gpointer object) { return THUNARX_IS_FILE_INFO(object); }
};
using Provider = ModuleMenuProvider<ThunarApi>;

GType providerType = 0;

GList* folderItems(ThunarxMenuProvider* provider, GtkWidget*, ThunarxFileInfo* folder) {
    return Provider::backgroundItems(provider, folder);
}
GList* fileItems(ThunarxMenuProvider* provider, GtkWidget*, GList* files) {
    return Provider::fileItems(provider, files);
}

void menuProviderInit(gpointer iface, gpointer) {
    auto* menuIface = static_cast<ThunarxMenuProviderIface*>(iface);
    menuIface->get_file_menu_items = fileItems;
    menuIface->get_folder_menu_items = folderItems;
}

}  // namespace

GType registerThunarMenuProvider(ThunarxProviderPlugin* plugin, const UserEnvironment& environment) {
    const GTypeInfo info = menuProviderTypeInfo(environment);
    providerType = thunarx_provider_plugin_register_type(plugin, G_TYPE_OBJECT, "QuilletThunarMenuProvider", &info,
                                                         GTypeFlags(0));
    const GInterfaceInfo menuProvider = {menuProviderInit, nullptr, nullptr};
    thunarx_provider_plugin_add_interface(plugin, providerType, THUNARX_TYPE_MENU_PROVIDER, &menuProvider);
    return providerType;
}

GType thunarMenuProviderType() { return providerType; }

}  // namespace quillet
