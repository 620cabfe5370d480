#include "extension/nautilus/NautilusMenuProvider.h"

#include <nautilus-extension.h>

#include <memory>
#include <optional>
#include <string>

#include "extension/FinderSync.h"
#include "extension/gio/CaughtExceptionLog.h"
#include "extension/gio/GioFinderSyncHost.h"
#include "extension/gio/MenuProviderObject.h"
#include "extension/gio/MenuProviderState.h"

namespace quillet {

namespace {

using ProviderState = MenuProviderState;

GType providerType = 0;

ProviderState* stateOf(gpointer provider) { return menuProviderState(provider); }

// The path of a location Nautilus shows, when it is a local one (file: scheme). Recent files,
// the Trash, search results and remote shares have none.
std::optional<std::filesystem::path> localPath(NautilusFileInfo* info) {
    if (!info) return std::nullopt;
    char* scheme = nautilus_file_info_get_uri_scheme(info);
    GFile* location = nautilus_file_info_get_location(info);
    auto path = localPathOf(scheme, location);
    g_free(scheme);
    if (location) g_object_unref(location);
    return path;
}

// libnautilus-extension 43 takes a reference on every item appended to a NautilusMenu and never
// drops it, so each submenu would leak its items (and, through their actions, references to
// the provider) on every right click. Whether the library at hand does so is found out once by
// trying, so that a library that releases its items is not released twice.
bool menusReleaseTheirItems() {
    static const bool releases = [] {
        NautilusMenu* menu = nautilus_menu_new();
        NautilusMenuItem* item = nautilus_menu_item_new("QuilletPlus::Probe", "", nullptr, nullptr);
        gpointer alive = item;
        g_object_add_weak_pointer(G_OBJECT(item), &alive);
        nautilus_menu_append_item(menu, item);
        g_object_unref(item);
        g_object_unref(menu);
        if (!alive) return true;
        g_object_remove_weak_pointer(G_OBJECT(alive), &alive);
        g_object_unref(alive);
        return false;
    }();
    return releases;
}

void releaseItems(gpointer items) {
    g_list_free_full(static_cast<GList*>(items), g_object_unref);
}

NautilusMenuItem* nautilusItem(GObject* provider, const FinderSyncMenuItem& item, const FileManagerMenuContext& context,
                               const std::string& namePrefix, size_t index) {
    using Role = FinderSyncMenuItem::Role;
    std::string name = namePrefix;
    const char* icon = nullptr;
    switch (item.role) {
        case Role::submenu:
            name += "CreateFile";
            // The glyph is drawn by the application; the nearest themed icon stands in here.
            icon = "document-new";
            break;
        case Role::templateFolder:
            name += "Folder" + std::to_string(index);
            icon = "folder";
            break;
        case Role::header: name += "Header" + std::to_string(index); break;
        case Role::separator: name += "Separator" + std::to_string(index); break;
        case Role::createType: name += "Type::" + item.typeID; break;
    }
    NautilusMenuItem* result = nautilus_menu_item_new(name.c_str(), item.title.c_str(), nullptr, icon);
    if (!item.enabled) g_object_set(result, "sensitive", FALSE, nullptr);
    if (item.role == Role::createType) connectCreateAction(result, provider, item, context);
    if (item.submenu) {
        NautilusMenu* submenu = nautilus_menu_new();
        const std::string childPrefix = name + "::";
        GList* children = nullptr;
        for (size_t i = 0; i < item.submenu->items.size(); ++i) {
            NautilusMenuItem* child = nautilusItem(provider, item.submenu->items[i], context, childPrefix, i);
            nautilus_menu_append_item(submenu, child);
            g_object_unref(child);
            children = g_list_prepend(children, child);
        }
        // Drops, when the submenu goes, the references the library keeps and forgets.
        if (menusReleaseTheirItems())
            g_list_free(children);
        else
            g_object_set_data_full(G_OBJECT(submenu), "quillet-plus-items", children, releaseItems);
        nautilus_menu_item_set_submenu(result, submenu);
        g_object_unref(submenu);
    }
    return result;
}

// Nautilus shows an extension's items directly in its context menu, as Finder shows the items
// of the menu an extension returns, so the top menu's own title is not shown either way.
GList* nautilusItems(GObject* provider, const FinderSyncMenu& menu, const FileManagerMenuContext& context,
                     const std::string& namePrefix) {
    GList* items = nullptr;
    for (size_t i = 0; i < menu.items.size(); ++i)
        items = g_list_append(items, nautilusItem(provider, menu.items[i], context, namePrefix, i));
    return items;
}

GList* getBackgroundItems(NautilusMenuProvider* provider, NautilusFileInfo* currentFolder) {
    ProviderState* state = stateOf(provider);
    if (!state) return nullptr;
    try {
        auto provided = state->backgroundMenu(localPath(currentFolder));
        if (!provided) return nullptr;
        return nautilusItems(G_OBJECT(provider), provided->menu, provided->context, "QuilletPlus::Background::");
    } catch (...) {
        logCaughtException("Building the folder background menu");
        return nullptr;
    }
}

GList* getFileItems(NautilusMenuProvider* provider, GList* files) {
    ProviderState* state = stateOf(provider);
    if (!state || !files) return nullptr;
    try {
        std::vector<std::optional<std::filesystem::path>> items;
        for (GList* l = files; l; l = l->next)
            if (NAUTILUS_IS_FILE_INFO(l->data)) items.push_back(localPath(NAUTILUS_FILE_INFO(l->data)));
        auto provided = state->itemsMenu(items);
        if (!provided) return nullptr;
        return nautilusItems(G_OBJECT(provider), provided->menu, provided->context, "QuilletPlus::Items::");
    } catch (...) {
        logCaughtException("Building the selection menu");
        return nullptr;
    }
}

void menuProviderInit(gpointer iface, gpointer) {
    auto* menuIface = static_cast<NautilusMenuProviderInterface*>(iface);
    menuIface->get_file_items = getFileItems;
    menuIface->get_background_items = getBackgroundItems;
}

}  // namespace

GType registerFinderSyncMenuProvider(GTypeModule* module, const UserEnvironment& environment) {
    const GTypeInfo info = menuProviderTypeInfo(environment);
    providerType = g_type_module_register_type(module, G_TYPE_OBJECT, "QuilletFinderSyncMenuProvider", &info,
                                               GTypeFlags(0));
    const GInterfaceInfo menuProvider = {menuProviderInit, nullptr, nullptr};
    g_type_module_add_interface(module, providerType, NAUTILUS_TYPE_MENU_PROVIDER, &menuProvider);
    return providerType;
}

GType finderSyncMenuProviderType() {
    return providerType;
}

}  // namespace quillet
