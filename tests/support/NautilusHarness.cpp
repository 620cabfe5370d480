#include "tests/support/NautilusHarness.h"

#include <gmodule.h>

namespace quillet::test {

namespace {

// --- The type module -------------------------------------------------------------------------

struct HarnessTypeModule {
    GTypeModule parent;
    GModule* library;
    char* path;
    char* failure;
    void (*initialize)(GTypeModule*);
    void (*shutdown)();
    void (*listTypes)(const GType**, int*);
};

struct HarnessTypeModuleClass {
    GTypeModuleClass parent;
};

HarnessTypeModule* harnessModule(GTypeModule* module) {
    return reinterpret_cast<HarnessTypeModule*>(module);
}

gboolean loadModule(GTypeModule* module) {
    HarnessTypeModule* self = harnessModule(module);
    // The flags Nautilus opens its extensions with.
    self->library = g_module_open(self->path, GModuleFlags(G_MODULE_BIND_LAZY | G_MODULE_BIND_LOCAL));
    if (!self->library) {
        self->failure = g_strdup(g_module_error());
        return FALSE;
    }
    if (!g_module_symbol(self->library, "nautilus_module_initialize", reinterpret_cast<gpointer*>(&self->initialize)) ||
        !g_module_symbol(self->library, "nautilus_module_shutdown", reinterpret_cast<gpointer*>(&self->shutdown)) ||
        !g_module_symbol(self->library, "nautilus_module_list_types", reinterpret_cast<gpointer*>(&self->listTypes))) {
        self->failure = g_strdup(g_module_error());
        g_module_close(self->library);
        self->library = nullptr;
        return FALSE;
    }
    self->initialize(module);
    return TRUE;
}

void unloadModule(GTypeModule* module) {
    HarnessTypeModule* self = harnessModule(module);
    self->shutdown();
    g_module_close(self->library);
    self->library = nullptr;
    self->initialize = nullptr;
    self->shutdown = nullptr;
    self->listTypes = nullptr;
}

void typeModuleClassInit(gpointer klass, gpointer) {
    auto* moduleClass = G_TYPE_MODULE_CLASS(klass);
    moduleClass->load = loadModule;
    moduleClass->unload = unloadModule;
}

GType harnessTypeModuleType() {
    static GType type = [] {
        const GTypeInfo info = {sizeof(HarnessTypeModuleClass), nullptr, nullptr, typeModuleClassInit, nullptr,
                                nullptr, sizeof(HarnessTypeModule), 0, nullptr, nullptr};
        return g_type_register_static(G_TYPE_TYPE_MODULE, "QuilletHarnessTypeModule", &info, GTypeFlags(0));
    }();
    return type;
}

// --- The file info -----------------------------------------------------------------------------

struct TestFileInfo {
    GObject parent;
    char* uri;
    GFileType fileType;
};

struct TestFileInfoClass {
    GObjectClass parent;
};

GObjectClass* fileInfoParentClass = nullptr;

TestFileInfo* testInfo(NautilusFileInfo* info) {
    return reinterpret_cast<TestFileInfo*>(info);
}

void fileInfoFinalize(GObject* object) {
    g_free(reinterpret_cast<TestFileInfo*>(object)->uri);
    fileInfoParentClass->finalize(object);
}

void fileInfoClassInit(gpointer klass, gpointer) {
    fileInfoParentClass = G_OBJECT_CLASS(g_type_class_peek_parent(klass));
    G_OBJECT_CLASS(klass)->finalize = fileInfoFinalize;
}

GFile* location(NautilusFileInfo* info) {
    return g_file_new_for_uri(testInfo(info)->uri);
}

gboolean isGone(NautilusFileInfo*) {
    return FALSE;
}
char* name(NautilusFileInfo* info) {
    GFile* file = location(info);
    char* result = g_file_get_basename(file);
    g_object_unref(file);
    return result;
}
char* uri(NautilusFileInfo* info) {
    return g_strdup(testInfo(info)->uri);
}
GFile* parentLocation(NautilusFileInfo* info) {
    GFile* file = location(info);
    GFile* parent = g_file_get_parent(file);
    g_object_unref(file);
    return parent;
}
char* parentURI(NautilusFileInfo* info) {
    GFile* parent = parentLocation(info);
    if (!parent) return g_strdup("");
    char* result = g_file_get_uri(parent);
    g_object_unref(parent);
    return result;
}
char* uriScheme(NautilusFileInfo* info) {
    return g_uri_parse_scheme(testInfo(info)->uri);
}
char* mimeType(NautilusFileInfo* info) {
    return g_strdup(testInfo(info)->fileType == G_FILE_TYPE_DIRECTORY ? "inode/directory" : "application/octet-stream");
}
gboolean isMimeType(NautilusFileInfo* info, const char* type) {
    char* own = mimeType(info);
    const gboolean same = g_strcmp0(own, type) == 0;
    g_free(own);
    return same;
}
gboolean isDirectory(NautilusFileInfo* info) {
    return testInfo(info)->fileType == G_FILE_TYPE_DIRECTORY;
}
void addEmblem(NautilusFileInfo*, const char*) {}
char* stringAttribute(NautilusFileInfo*, const char*) {
    return nullptr;
}
void addStringAttribute(NautilusFileInfo*, const char*, const char*) {}
void invalidateExtensionInfo(NautilusFileInfo*) {}
GFileType fileType(NautilusFileInfo* info) {
    return testInfo(info)->fileType;
}
NautilusFileInfo* parentInfo(NautilusFileInfo* info) {
    GFile* parent = parentLocation(info);
    if (!parent) return nullptr;
    char* parentUri = g_file_get_uri(parent);
    g_object_unref(parent);
    NautilusFileInfo* result = newTestFileInfo(parentUri, G_FILE_TYPE_DIRECTORY);
    g_free(parentUri);
    return result;
}
GMount* mount(NautilusFileInfo*) {
    return nullptr;
}
gboolean canWrite(NautilusFileInfo*) {
    return TRUE;
}

void fileInfoInterfaceInit(gpointer iface, gpointer) {
    auto* i = static_cast<NautilusFileInfoInterface*>(iface);
    i->is_gone = isGone;
    i->get_name = name;
    i->get_uri = uri;
    i->get_parent_uri = parentURI;
    i->get_uri_scheme = uriScheme;
    i->get_mime_type = mimeType;
    i->is_mime_type = isMimeType;
    i->is_directory = isDirectory;
    i->add_emblem = addEmblem;
    i->get_string_attribute = stringAttribute;
    i->add_string_attribute = addStringAttribute;
    i->invalidate_extension_info = invalidateExtensionInfo;
    i->get_activation_uri = uri;
    i->get_file_type = fileType;
    i->get_location = location;
    i->get_parent_location = parentLocation;
    i->get_parent_info = parentInfo;
    i->get_mount = mount;
    i->can_write = canWrite;
}

GType testFileInfoType() {
    static GType type = [] {
        const GTypeInfo info = {sizeof(TestFileInfoClass), nullptr, nullptr, fileInfoClassInit, nullptr,
                                nullptr, sizeof(TestFileInfo), 0, nullptr, nullptr};
        GType t = g_type_register_static(G_TYPE_OBJECT, "QuilletHarnessFileInfo", &info, GTypeFlags(0));
        const GInterfaceInfo fileInfo = {fileInfoInterfaceInit, nullptr, nullptr};
        g_type_add_interface_static(t, NAUTILUS_TYPE_FILE_INFO, &fileInfo);
        return t;
    }();
    return type;
}

}  // namespace

NautilusModuleLoader::NautilusModuleLoader(const std::string& path) {
    module_ = G_TYPE_MODULE(g_object_new(harnessTypeModuleType(), nullptr));
    HarnessTypeModule* self = harnessModule(module_);
    self->path = g_strdup(path.c_str());
    g_type_module_set_name(module_, path.c_str());
    if (!g_type_module_use(module_)) {
        failure_ = self->failure ? self->failure : "the module did not load";
        return;
    }
    const GType* listed = nullptr;
    int count = 0;
    self->listTypes(&listed, &count);
    for (int i = 0; i < count; ++i) {
        types_.push_back(listed[i]);
        objects_.push_back(G_OBJECT(g_object_new(listed[i], nullptr)));
    }
    // As in Nautilus: the objects keep their classes, and so the module, in use.
    g_type_module_unuse(module_);
    loaded_ = true;
}

NautilusModuleLoader::~NautilusModuleLoader() {
    for (GObject* object : objects_) g_object_unref(object);
    // A type module that registered types must live as long as the process.
}

bool NautilusModuleLoader::exports(const char* symbol) const {
    GModule* library = harnessModule(module_)->library;
    gpointer address = nullptr;
    return library && g_module_symbol(library, symbol, &address);
}

NautilusFileInfo* newTestFileInfo(const std::string& uri, GFileType type) {
    auto* info = reinterpret_cast<TestFileInfo*>(g_object_new(testFileInfoType(), nullptr));
    info->uri = g_strdup(uri.c_str());
    info->fileType = type;
    return NAUTILUS_FILE_INFO(info);
}

}  // namespace quillet::test
