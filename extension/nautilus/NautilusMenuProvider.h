#pragma once

#include <glib-object.h>

#include "shared/paths/UserEnvironment.h"

namespace quillet {

// The GObject Nautilus instantiates for this module: a NautilusMenuProvider whose selection
// items are the FinderSync items menu and whose background items are its container menu.
// Registered with the type module Nautilus loaded the module through; every provider the type
// makes serves the user `environment` describes.
GType registerFinderSyncMenuProvider(GTypeModule* module, const UserEnvironment& environment);
// 0 until registered.
GType finderSyncMenuProviderType();

}  // namespace quillet
