#include "extension/thunar/ThunarMenuProvider.h"

// Thunar's headers declare their functions without C linkage; GLib's are guarded already.
extern "C" {
#include <thunarx/thunarx.h>
}

#include <optional>
#include <string>

#include "extension/FinderSync.h"
#include "extension/gio/CaughtExceptionLog.h"
#include "extension/gio/MenuProviderObject.h"
#include "extension/gio/MenuProviderState.h"

namespace quillet {

namespace {

GType providerType = 0;

MenuProviderState* stateOf(gpointer provider) { return menuProviderState(provider); }

std::optional<std::filesystem::path> localPath(ThunarxFileInfo* info) {
    if (!info) return std::nullopt;
    char* scheme = thunarx_file_info_get_uri_scheme(info);
    GFile* location = thunarx_file_info_get_location(info);
    auto path = localPathOf(scheme, location);
    g_free(scheme);
    if (location) g_object_unref(location);
    return path;
}

void releaseItems(gpointer items) { g_list_free_full(static_cast<GList*>(items), g_object_unref); }

// Thunar's menus have neither separators nor greyed headers (an item made insensitive is drawn
// like the others): the types are listed in the user's order without their categories.
ThunarxMenuItem* thunarItem(GObject* provider, const FinderSyncMenuItem& item, const FileManagerMenuContext& context,
                            const std::string& namePrefix) {
    using Role = FinderSyncMenuItem::Role;
    std::string name = namePrefix;
    const char* icon = nullptr;
    switch (item.role) {
        case Role::submenu:
            name += "CreateFile";
            icon = "document-new";
            break;
        case Role::header:
        case Role::separator: return nullptr;
        case Role::createType: name += "Type::" + item.typeID; break;
    }
    ThunarxMenuItem* result = thunarx_menu_item_new(name.c_str(), item.title.c_str(), nullptr, icon);
    if (!item.enabled) thunarx_menu_item_set_sensitive(result, FALSE);
    if (item.role == Role::createType) connectCreateAction(result, provider, item.tag, context);
    if (item.submenu) {
        ThunarxMenu* submenu = thunarx_menu_new();
        GList* children = nullptr;
        for (const FinderSyncMenuItem& childItem : item.submenu->items) {
            ThunarxMenuItem* child = thunarItem(provider, childItem, context, name + "::");
            if (!child) continue;
            thunarx_menu_append_item(submenu, child);
            children = g_list_prepend(children, child);
        }
        // Our references go with the submenu, and the submenu's with the item, whether or not
        // the library takes references of its own.
        g_object_set_data_full(G_OBJECT(submenu), "quillet-plus-items", children, releaseItems);
        thunarx_menu_item_set_menu(result, submenu);
        g_object_set_data_full(G_OBJECT(result), "quillet-plus-submenu", submenu, g_object_unref);
    }
    return result;
}

GList* thunarItems(GObject* provider, const ProvidedMenu& provided, const char* namePrefix) {
    GList* items = nullptr;
    for (const FinderSyncMenuItem& menuItem : provided.menu.items)
        if (ThunarxMenuItem* item = thunarItem(provider, menuItem, provided.context, namePrefix))
            items = g_list_append(items, item);
    return items;
}

GList* getFolderMenuItems(ThunarxMenuProvider* provider, GtkWidget*, ThunarxFileInfo* folder) {
    MenuProviderState* state = stateOf(provider);
    if (!state) return nullptr;
    try {
        auto provided = state->backgroundMenu(localPath(folder));
        return provided ? thunarItems(G_OBJECT(provider), *provided, "QuilletPlus::Background::") : nullptr;
    } catch (...) {
        logCaughtException("Building the folder background menu");
        return nullptr;
    }
}

GList* getFileMenuItems(ThunarxMenuProvider* provider, GtkWidget*, GList* files) {
    MenuProviderState* state = stateOf(provider);
    if (!state || !files) return nullptr;
    try {
        std::vector<std::optional<std::filesystem::path>> items;
        for (GList* l = files; l; l = l->next)
            if (THUNARX_IS_FILE_INFO(l->data)) items.push_back(localPath(THUNARX_FILE_INFO(l->data)));
        auto provided = state->itemsMenu(items);
        return provided ? thunarItems(G_OBJECT(provider), *provided, "QuilletPlus::Items::") : nullptr;
    } catch (...) {
        logCaughtException("Building the selection menu");
        return nullptr;
    }
}

void menuProviderInit(gpointer iface, gpointer) {
    auto* menuIface = static_cast<ThunarxMenuProviderIface*>(iface);
    menuIface->get_file_menu_items = getFileMenuItems;
    menuIface->get_folder_menu_items = getFolderMenuItems;
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
