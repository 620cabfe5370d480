#include "extension/nautilus/NautilusMenuProvider.h"

#include <nautilus-extension.h>

#include <memory>
#include <optional>
#include <string>

#include "extension/FinderSync.h"
#include "extension/nautilus/CaughtExceptionLog.h"
#include "extension/nautilus/NautilusFinderSyncHost.h"
#include "shared/paths/FilePaths.h"

namespace quillet {

namespace {

std::optional<UserAccount> accountOf(const UserEnvironment& environment) {
    if (environment.accountHome.empty()) return std::nullopt;
    return UserAccount{environment.accountHome, environment.accountUserName};
}

struct ProviderState {
    explicit ProviderState(const UserEnvironment& environment)
        : finderSync(host, [account = accountOf(environment)] { return account; }, environment.configurationHome) {}
    NautilusFinderSyncHost host;
    FinderSync finderSync;
};

struct FinderSyncMenuProvider {
    GObject parent;
    ProviderState* state;
};

struct FinderSyncMenuProviderClass {
    GObjectClass parentClass;
};

GType providerType = 0;
GObjectClass* parentClass = nullptr;
// What the module's entry point read when Nautilus loaded it, for the providers Nautilus makes
// later: a GObject is constructed without arguments.
std::optional<UserEnvironment> providerEnvironment;

ProviderState* stateOf(gpointer provider) {
    return reinterpret_cast<FinderSyncMenuProvider*>(provider)->state;
}

void instanceInit(GTypeInstance* instance, gpointer) {
    auto* self = reinterpret_cast<FinderSyncMenuProvider*>(instance);
    // Without its state the provider simply offers no menus; Nautilus must go on regardless.
    try {
        self->state = providerEnvironment ? new ProviderState(*providerEnvironment) : nullptr;
    } catch (...) {
        self->state = nullptr;
        logCaughtException("Setting up the Create File menus");
    }
}

void finalize(GObject* object) {
    delete stateOf(object);
    reinterpret_cast<FinderSyncMenuProvider*>(object)->state = nullptr;
    parentClass->finalize(object);
}

void classInit(gpointer klass, gpointer) {
    parentClass = G_OBJECT_CLASS(g_type_class_peek_parent(klass));
    G_OBJECT_CLASS(klass)->finalize = finalize;
}

// The path of a location Nautilus shows, when it is a local one (file: scheme). Recent files,
// the Trash, search results and remote shares have none.
std::optional<std::filesystem::path> localPath(NautilusFileInfo* info) {
    if (!info) return std::nullopt;
    char* scheme = nautilus_file_info_get_uri_scheme(info);
    const bool local = scheme && g_ascii_strcasecmp(scheme, "file") == 0;
    g_free(scheme);
    if (!local) return std::nullopt;
    GFile* location = nautilus_file_info_get_location(info);
    if (!location) return std::nullopt;
    char* path = g_file_get_path(location);
    g_object_unref(location);
    if (!path) return std::nullopt;
    std::filesystem::path result = standardizedPath(path);
    g_free(path);
    if (!result.is_absolute()) return std::nullopt;
    return result;
}

struct Activation {
    GObject* provider;
    long tag;
    NautilusMenuContext context;
};

void activate(NautilusMenuItem*, gpointer data) {
    auto* activation = static_cast<Activation*>(data);
    ProviderState* state = stateOf(activation->provider);
    if (!state) return;
    try {
        // FinderSync reads the folder from the host, as it would ask the file manager at this
        // moment; here "this moment" is the menu the item came from.
        state->host.setContext(activation->context);
        state->finderSync.handleCreate(activation->tag);
    } catch (...) {
        logCaughtException("Handling the chosen file type");
    }
}

void releaseActivation(gpointer data, GClosure*) {
    auto* activation = static_cast<Activation*>(data);
    g_object_unref(activation->provider);
    delete activation;
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

NautilusMenuItem* nautilusItem(GObject* provider, const FinderSyncMenuItem& item, const NautilusMenuContext& context,
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
        case Role::header: name += "Header" + std::to_string(index); break;
        case Role::separator: name += "Separator" + std::to_string(index); break;
        case Role::createType: name += "Type::" + item.typeID; break;
    }
    NautilusMenuItem* result = nautilus_menu_item_new(name.c_str(), item.title.c_str(), nullptr, icon);
    if (!item.enabled) g_object_set(result, "sensitive", FALSE, nullptr);
    if (item.role == Role::createType) {
        auto* activation = new Activation{G_OBJECT(g_object_ref(provider)), item.tag, context};
        g_signal_connect_data(result, "activate", G_CALLBACK(activate), activation, releaseActivation,
                              GConnectFlags(0));
    }
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
GList* nautilusItems(GObject* provider, const FinderSyncMenu& menu, const NautilusMenuContext& context,
                     const std::string& namePrefix) {
    GList* items = nullptr;
    for (size_t i = 0; i < menu.items.size(); ++i)
        items = g_list_append(items, nautilusItem(provider, menu.items[i], context, namePrefix, i));
    return items;
}

GList* menuFor(NautilusMenuProvider* provider, FinderMenuKind kind, const NautilusMenuContext& context,
               const char* namePrefix) {
    ProviderState* state = stateOf(provider);
    state->host.setContext(context);
    auto menu = state->finderSync.menuForMenuKind(rawValue(kind));
    if (!menu) return nullptr;
    return nautilusItems(G_OBJECT(provider), *menu, context, namePrefix);
}

GList* getBackgroundItems(NautilusMenuProvider* provider, NautilusFileInfo* currentFolder) {
    ProviderState* state = stateOf(provider);
    if (!state) return nullptr;
    try {
        const auto folder = localPath(currentFolder);
        // Like Finder, which only asks about the folders it was told to monitor.
        if (!folder || !state->finderSync.isMonitored(*folder)) return nullptr;
        // Nautilus does not say which folders its windows show; the folder whose background menu
        // was built last is the one the user is looking at.
        const auto observed = state->finderSync.mostRecentObservedDirectoryURL();
        if (observed != folder) {
            if (observed) state->finderSync.endObservingDirectory(*observed);
            state->finderSync.beginObservingDirectory(*folder);
        }
        return menuFor(provider, FinderMenuKind::contextualMenuForContainer, {folder, {}},
                       "QuilletPlus::Background::");
    } catch (...) {
        logCaughtException("Building the folder background menu");
        return nullptr;
    }
}

GList* getFileItems(NautilusMenuProvider* provider, GList* files) {
    ProviderState* state = stateOf(provider);
    if (!state || !files) return nullptr;
    try {
        NautilusMenuContext context;
        for (GList* l = files; l; l = l->next) {
            if (!NAUTILUS_IS_FILE_INFO(l->data)) continue;
            auto path = localPath(NAUTILUS_FILE_INFO(l->data));
            if (path) context.selectedItemURLs.push_back(std::move(*path));
            // The first item decides where the file goes; when it has no local path there is
            // nowhere to put it.
            else if (l == files) return nullptr;
        }
        if (context.selectedItemURLs.empty() ||
            !state->finderSync.isMonitored(containingFolder(context.selectedItemURLs.front())))
            return nullptr;
        return menuFor(provider, FinderMenuKind::contextualMenuForItems, context, "QuilletPlus::Items::");
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
    providerEnvironment = environment;
    const GTypeInfo info = {
        sizeof(FinderSyncMenuProviderClass),
        nullptr,
        nullptr,
        classInit,
        nullptr,
        nullptr,
        sizeof(FinderSyncMenuProvider),
        0,
        instanceInit,
        nullptr,
    };
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
