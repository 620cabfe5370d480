#include "extension/gio/MenuProviderObject.h"

#include <optional>

#include "extension/gio/CaughtExceptionLog.h"

namespace quillet {

namespace {

struct MenuProviderObjectClass {
    GObjectClass parentClass;
};

GObjectClass* parentClass = nullptr;
std::optional<UserEnvironment> providerEnvironment;

void instanceInit(GTypeInstance* instance, gpointer) {
    auto* self = reinterpret_cast<MenuProviderObject*>(instance);
    // Without its state the provider simply offers no menus; the file manager must go on.
    try {
        self->state = providerEnvironment ? new MenuProviderState(*providerEnvironment) : nullptr;
    } catch (...) {
        self->state = nullptr;
        logCaughtException("Setting up the Create File menus");
    }
}

void finalize(GObject* object) {
    delete menuProviderState(object);
    reinterpret_cast<MenuProviderObject*>(object)->state = nullptr;
    parentClass->finalize(object);
}

void classInit(gpointer klass, gpointer) {
    parentClass = G_OBJECT_CLASS(g_type_class_peek_parent(klass));
    G_OBJECT_CLASS(klass)->finalize = finalize;
}

struct Activation {
    GObject* provider;
    long tag;
    std::string typeID;
    FileManagerMenuContext context;
};

void activate(gpointer, gpointer data) {
    auto* activation = static_cast<Activation*>(data);
    MenuProviderState* state = menuProviderState(activation->provider);
    if (!state) return;
    try {
        // FinderSync reads the folder from the host, as it would ask the file manager at this
        // moment; here "this moment" is the menu the item came from.
        state->host.setContext(activation->context);
        state->finderSync.handleCreateItem(activation->tag, activation->typeID);
    } catch (...) {
        logCaughtException("Handling the chosen file type");
    }
}

void releaseActivation(gpointer data, GClosure*) {
    auto* activation = static_cast<Activation*>(data);
    g_object_unref(activation->provider);
    delete activation;
}

}  // namespace

GTypeInfo menuProviderTypeInfo(const UserEnvironment& environment) {
    providerEnvironment = environment;
    return GTypeInfo{
        sizeof(MenuProviderObjectClass), nullptr, nullptr, classInit, nullptr, nullptr,
        sizeof(MenuProviderObject),      0,       instanceInit,  nullptr,
    };
}

MenuProviderState* menuProviderState(gpointer provider) {
    return reinterpret_cast<MenuProviderObject*>(provider)->state;
}

void connectCreateAction(gpointer item, GObject* provider, const FinderSyncMenuItem& menuItem,
                         const FileManagerMenuContext& context) {
    auto* activation = new Activation{G_OBJECT(g_object_ref(provider)), menuItem.tag, menuItem.typeID, context};
    g_signal_connect_data(item, "activate", G_CALLBACK(activate), activation, releaseActivation, GConnectFlags(0));
}

}  // namespace quillet
