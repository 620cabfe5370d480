// The three functions Thunar looks up in every plugin of its thunarx-3 folder.
#include <glib-object.h>
#include <gmodule.h>

extern "C" {
#include <thunarx/thunarx.h>
}

#include "extension/gio/ModuleTranslations.h"
#include "extension/thunar/ThunarMenuProvider.h"
#include "shared/logging/Logger.h"
#include "shared/paths/UserEnvironment.h"

extern "C" {

// The module's composition root: the user's environment is read here, once, when Thunar loads
// the plugin, and handed to everything the plugin makes.
G_MODULE_EXPORT void thunar_extension_initialize(ThunarxProviderPlugin* plugin) {
    // A Thunar of another major version has another interface: nothing is offered there.
    if (thunarx_check_version(THUNARX_MAJOR_VERSION, THUNARX_MINOR_VERSION, THUNARX_MICRO_VERSION)) return;
    try {
        const quillet::UserEnvironment environment = quillet::UserEnvironment::fromProcess();
        quillet::installLogSink(quillet::makeSystemLogSink(environment.logToStderr));
        quillet::bindModuleTranslations();
        // The registered type must outlive any unloading of the plugin.
        thunarx_provider_plugin_set_resident(plugin, TRUE);
        quillet::registerThunarMenuProvider(plugin, environment);
    } catch (...) {
    }
}

G_MODULE_EXPORT void thunar_extension_shutdown(void) {}

G_MODULE_EXPORT void thunar_extension_list_types(const GType** types, gint* numTypes) {
    static GType list[1];
    list[0] = quillet::thunarMenuProviderType();
    *types = list;
    *numTypes = list[0] ? 1 : 0;
}

}  // extern "C"
