// The three functions Nautilus looks up in every module of its extension folder.
#include <gio/gio.h>
#include <glib-object.h>
#include <gmodule.h>

// The header declares the entry points without C linkage; GLib's own headers are already in
// (and guarded), so only Nautilus's declarations land inside the block.
extern "C" {
#include <nautilus-extension.h>
}

#include "extension/gio/ModuleTranslations.h"
#include "extension/nautilus/NautilusMenuProvider.h"
#include "shared/logging/Logger.h"
#include "shared/paths/UserEnvironment.h"

extern "C" {

// The module's composition root: the user's environment is read here, once, when Nautilus
// loads the module, and handed to everything the module makes.
G_MODULE_EXPORT void nautilus_module_initialize(GTypeModule* module) {
    // Without it the module offers nothing; Nautilus must go on regardless.
    try {
        const quillet::UserEnvironment environment = quillet::UserEnvironment::fromProcess();
        quillet::installLogSink(quillet::makeSystemLogSink(environment.logToStderr));
        quillet::bindModuleTranslations();
        quillet::registerFinderSyncMenuProvider(module, environment);
    } catch (...) {
    }
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
