#pragma once

#include <glib-object.h>

#include "shared/paths/UserEnvironment.h"

typedef struct _ThunarxProviderPlugin ThunarxProviderPlugin;

namespace quillet {

// Registers, in Thunar's plugin, the menu provider that adds "Create File" to Thunar's folder
// (background) and file menus, with the environment the module's entry point read.
GType registerThunarMenuProvider(ThunarxProviderPlugin* plugin, const UserEnvironment& environment);
GType thunarMenuProviderType();

}  // namespace quillet
