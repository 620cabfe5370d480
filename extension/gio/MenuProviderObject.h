#pragma once

#include <glib-object.h>

#include "extension/gio/GioFinderSyncHost.h"
#include "extension/gio/MenuProviderState.h"
#include "shared/paths/UserEnvironment.h"

namespace quillet {

// The GObject a GTK file manager makes as an extension's menu provider, the same for each: it
// holds the FinderSync state, made from the environment the module's entry point read (a GObject
// is made without arguments). Each file manager's module registers the type with its own
// interface added, and links its own copy of this, so the environment is the module's own.
struct MenuProviderObject {
    GObject parent;
    MenuProviderState* state;
};

// The type information of the provider, whose instances take `environment`.
GTypeInfo menuProviderTypeInfo(const UserEnvironment& environment);
// The provider's state; nothing when it could not be made (then it offers no menus).
MenuProviderState* menuProviderState(gpointer provider);

// Makes choosing `item` (a NautilusMenuItem or ThunarxMenuItem, both with an "activate" signal)
// create the type of `tag` in the menu's context, holding the provider meanwhile.
void connectCreateAction(gpointer item, GObject* provider, const FinderSyncMenuItem& menuItem,
                         const FileManagerMenuContext& context);

}  // namespace quillet
