// The three functions Nautilus looks up in every module of its extension folder.
#include <gio/gio.h>
#include <glib-object.h>
#include <gmodule.h>

// The header declares the entry points without C linkage; GLib's own headers are already in
// (and guarded), so only Nautilus's declarations land inside the block.
extern "C" {
#include <nautilus-extension.h>
}

#include "extension/nautilus/NautilusMenuProvider.h"

extern "C" {

G_MODULE_EXPORT void nautilus_module_initialize(GTypeModule* module) {
    quillet::registerFinderSyncMenuProvider(module);
}

// The provider instances belong to Nautilus and the core keeps no global resources.
G_MODULE_EXPORT void nautilus_module_shutdown(void) {}

G_MODULE_EXPORT void nautilus_module_list_types(const GType** types, int* numTypes) {
    static GType list[1];
    list[0] = quillet::finderSyncMenuProviderType();
    *types = list;
    *numTypes = list[0] ? 1 : 0;
}

}  // extern "C"
