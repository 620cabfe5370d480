#pragma once

#include <glib-object.h>

namespace quillet {

// The GObject Nautilus instantiates for this module: a NautilusMenuProvider whose selection
// items are the FinderSync items menu and whose background items are its container menu.
// Registered with the type module Nautilus loaded the module through.
GType registerFinderSyncMenuProvider(GTypeModule* module);
// 0 until registered.
GType finderSyncMenuProviderType();

}  // namespace quillet
