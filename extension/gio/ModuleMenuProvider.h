#pragma once

// The menu provider of a file manager whose extension interface follows Nautilus 3's, as Caja's,
// Nemo's and Thunar's do: one template, each module instantiating it with its library's names.
//
// Api supplies:
//   using Item, Menu, FileInfo;                         the library's types
//   bool showsHeaders;                                  whether an insensitive item reads as a header
//   Item* newItem(name, label, tip, icon); Item* newSeparator(name) (nullptr: none);
//   Menu* newMenu(); void append(Menu*, Item*); void setSubmenu(Item*, Menu*); void setSensitive(Item*, bool);
//   char* uriScheme(FileInfo*); GFile* location(FileInfo*); bool isFileInfo(gpointer);
// The items' and submenus' references the library may or may not take are balanced by keeping
// ours until the menu they belong to goes.

#include <gio/gio.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "extension/FinderSync.h"
#include "extension/gio/CaughtExceptionLog.h"
#include "extension/gio/MenuProviderObject.h"
#include "extension/gio/MenuProviderState.h"

namespace quillet {

template <typename Api>
class ModuleMenuProvider {
public:
    static GList* backgroundItems(gpointer provider, typename Api::FileInfo* folder) {
        MenuProviderState* state = menuProviderState(provider);
        if (!state) return nullptr;
        try {
            auto provided = state->backgroundMenu(localPath(folder));
            return provided ? items(G_OBJECT(provider), *provided, "QuilletPlus::Background::") : nullptr;
        } catch (...) {
            logCaughtException("Building the folder background menu");
            return nullptr;
        }
    }

    static GList* fileItems(gpointer provider, GList* files) {
        MenuProviderState* state = menuProviderState(provider);
        if (!state || !files) return nullptr;
        try {
            std::vector<std::optional<std::filesystem::path>> paths;
            for (GList* l = files; l; l = l->next)
                if (Api::isFileInfo(l->data)) paths.push_back(localPath(static_cast<typename Api::FileInfo*>(l->data)));
            auto provided = state->itemsMenu(paths);
            return provided ? items(G_OBJECT(provider), *provided, "QuilletPlus::Items::") : nullptr;
        } catch (...) {
            logCaughtException("Building the selection menu");
            return nullptr;
        }
    }

private:
    static std::optional<std::filesystem::path> localPath(typename Api::FileInfo* info) {
        if (!info) return std::nullopt;
        char* scheme = Api::uriScheme(info);
        GFile* location = Api::location(info);
        auto path = localPathOf(scheme, location);
        g_free(scheme);
        if (location) g_object_unref(location);
        return path;
    }

    static void releaseObjects(gpointer objects) { g_list_free_full(static_cast<GList*>(objects), g_object_unref); }

    static typename Api::Item* item(GObject* provider, const FinderSyncMenuItem& item,
                                    const FileManagerMenuContext& context, const std::string& namePrefix, size_t index) {
        using Role = FinderSyncMenuItem::Role;
        std::string name = namePrefix;
        const char* icon = nullptr;
        switch (item.role) {
            case Role::submenu:
                name += "CreateFile";
                icon = "document-new";
                break;
            case Role::header:
                // Where an insensitive item is drawn like the others, the types are listed without
                // their categories.
                if (!Api::showsHeaders) return nullptr;
                name += "Header" + std::to_string(index);
                break;
            case Role::templateFolder:
                name += "Folder" + std::to_string(index);
                icon = "folder";
                break;
            case Role::separator: return Api::newSeparator((name + "Separator" + std::to_string(index)).c_str());
            case Role::createType: name += "Type::" + item.typeID; break;
        }
        // Caja refuses an item without a tip; the title serves.
        typename Api::Item* result = Api::newItem(name.c_str(), item.title.c_str(), item.title.c_str(), icon);
        if (!result) return nullptr;
        if (!item.enabled) Api::setSensitive(result, false);
        if (item.role == Role::createType) connectCreateAction(result, provider, item, context);
        if (item.submenu) {
            typename Api::Menu* submenu = Api::newMenu();
            GList* children = nullptr;
            for (size_t i = 0; i < item.submenu->items.size(); ++i) {
                typename Api::Item* child = ModuleMenuProvider::item(provider, item.submenu->items[i], context, name + "::", i);
                if (!child) continue;
                Api::append(submenu, child);
                children = g_list_prepend(children, child);
            }
            g_object_set_data_full(G_OBJECT(submenu), "quillet-plus-items", children, releaseObjects);
            Api::setSubmenu(result, submenu);
            g_object_set_data_full(G_OBJECT(result), "quillet-plus-submenu", submenu, g_object_unref);
        }
        return result;
    }

    static GList* items(GObject* provider, const ProvidedMenu& provided, const char* namePrefix) {
        GList* list = nullptr;
        for (size_t i = 0; i < provided.menu.items.size(); ++i)
            if (typename Api::Item* one = item(provider, provided.menu.items[i], provided.context, namePrefix, i))
                list = g_list_append(list, one);
        return list;
    }
};

}  // namespace quillet
