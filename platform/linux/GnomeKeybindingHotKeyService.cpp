#include "platform/linux/GnomeKeybindingHotKeyService.h"

#include "platform/linux/GioLibrary.h"

#include <algorithm>
#include <set>
#include <vector>

#include "platform/linux/KeyBindingText.h"

namespace quillet {

namespace {

// Reached only once schemasInstalled() found GIO.
const GioLibrary& gio() { return *gioLibrary(); }

using Settings = std::unique_ptr<GSettings, decltype(&::g_object_unref)>;

// Both schemas, with the keys written here; looked up before any GSettings object is made,
// because GLib aborts the process for a schema it does not know.
bool schemasInstalled() {
    if (!gioLibrary()) return false;
    GSettingsSchemaSource* source = gio().settings_schema_source_get_default();
    if (!source) return false;
    const auto has = [source](const char* id, std::initializer_list<const char*> keys) {
        GSettingsSchema* schema = gio().settings_schema_source_lookup(source, id, TRUE);
        if (!schema) return false;
        const bool all = std::all_of(keys.begin(), keys.end(),
                                     [schema](const char* key) { return gio().settings_schema_has_key(schema, key); });
        gio().settings_schema_unref(schema);
        return all;
    };
    return has(GnomeKeybindingHotKeyService::kSchema, {GnomeKeybindingHotKeyService::kListKey}) &&
           has(GnomeKeybindingHotKeyService::kBindingSchema, {"name", "command", "binding"});
}

Settings listSettings() { return Settings(gio().settings_new(GnomeKeybindingHotKeyService::kSchema), gio().object_unref); }

Settings bindingSettings(const std::string& path) {
    return Settings(gio().settings_new_with_path(GnomeKeybindingHotKeyService::kBindingSchema, path.c_str()),
                    gio().object_unref);
}

std::vector<std::string> bindingPaths(GSettings* list) {
    std::vector<std::string> paths;
    gchar** values = gio().settings_get_strv(list, GnomeKeybindingHotKeyService::kListKey);
    for (gchar** value = values; value && *value; ++value) paths.emplace_back(*value);
    g_strfreev(values);
    return paths;
}

std::string stringKey(GSettings* settings, const char* key) {
    gchar* value = gio().settings_get_string(settings, key);
    std::string text = value ? value : "";
    g_free(value);
    return text;
}

bool isOurs(const std::string& path) { return path.starts_with(GnomeKeybindingHotKeyService::kPathPrefix); }

void setList(GSettings* list, const std::vector<std::string>& paths) {
    std::vector<const gchar*> values;
    for (const auto& path : paths) values.push_back(path.c_str());
    values.push_back(nullptr);
    gio().settings_set_strv(list, GnomeKeybindingHotKeyService::kListKey, values.data());
}

void forget(const std::string& path) {
    const Settings binding = bindingSettings(path);
    for (const char* key : {"name", "command", "binding"}) gio().settings_reset(binding.get(), key);
}

}  // namespace

bool GnomeKeybindingHotKeyService::isAvailable() { return schemasInstalled(); }

void GnomeKeybindingHotKeyService::removeAll() {
    if (!schemasInstalled()) return;
    const Settings list = listSettings();
    std::vector<std::string> kept;
    bool removed = false;
    for (const auto& path : bindingPaths(list.get())) {
        if (!isOurs(path)) {
            kept.push_back(path);
            continue;
        }
        forget(path);
        removed = true;
    }
    if (removed) setList(list.get(), kept);
    gio().settings_sync();
}

GnomeKeybindingHotKeyService::GnomeKeybindingHotKeyService(std::filesystem::path launcher, MainQueue& mainQueue)
    : launcher_(std::move(launcher)), mainQueue_(mainQueue) {}

GnomeKeybindingHotKeyService::~GnomeKeybindingHotKeyService() { *alive_ = false; }

int GnomeKeybindingHotKeyService::installEventHandler(Handler, HandlerRef& outRef) {
    if (!schemasInstalled()) return kBindingUnavailableErr;
    // Presses run the launcher; the handler is kept by the manager but never called.
    outRef = nextHandlerRef_++;
    return kHotKeyNoErr;
}

int GnomeKeybindingHotKeyService::removeEventHandler(HandlerRef) { return kHotKeyNoErr; }

std::optional<std::string> GnomeKeybindingHotKeyService::wayFailure() const {
    if (!schemasInstalled()) return "GNOME's key binding settings are not installed";
    return std::nullopt;
}

std::string GnomeKeybindingHotKeyService::commandLine(const std::vector<std::string>& words) const {
    const auto quoted = [](const std::string& word) {
        gchar* q = g_shell_quote(word.c_str());
        std::string text = q;
        g_free(q);
        return text;
    };
    std::string line = quoted(launcher_.string());
    for (const auto& word : words) line += " " + quoted(word);
    return line;
}

int GnomeKeybindingHotKeyService::registerEventHotKey(uint32_t keyCode, uint32_t carbonModifiers, HotKeyIdentity,
                                                      const HotKeyPurpose& purpose, HotKeyRef& outRef) {
    if (!schemasInstalled()) return kBindingUnavailableErr;
    const auto accelerator = gnomeAccelerator(keyCode, carbonModifiers);
    if (!accelerator || purpose.command.empty() || purpose.name.empty()) return kBindingInvalidErr;
    // The desktop would run both commands for one combination; another program's binding keeps it.
    const Settings list = listSettings();
    for (const auto& path : bindingPaths(list.get())) {
        if (isOurs(path)) continue;
        if (stringKey(bindingSettings(path).get(), "binding") == *accelerator) return kBindingTakenErr;
    }
    outRef = nextHotKeyRef_++;
    bindings_[outRef] = Binding{std::string(kPathPrefix) + purpose.name + "/", "Quillet+: " + purpose.description,
                                commandLine(purpose.command), *accelerator};
    scheduleWrite();
    return kHotKeyNoErr;
}

int GnomeKeybindingHotKeyService::unregisterEventHotKey(HotKeyRef ref) {
    if (!bindings_.erase(ref)) return kBindingBadRefErr;
    scheduleWrite();
    return kHotKeyNoErr;
}

void GnomeKeybindingHotKeyService::scheduleWrite() {
    if (writeScheduled_) return;
    writeScheduled_ = true;
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.async([this, alive] {
        const auto a = alive.lock();
        if (!a || !*a) return;
        writeScheduled_ = false;
        write();
    });
}

void GnomeKeybindingHotKeyService::write() {
    if (!schemasInstalled()) return;
    std::map<std::string, const Binding*> wanted;
    for (const auto& [ref, binding] : bindings_) wanted[binding.path] = &binding;

    const Settings list = listSettings();
    const std::vector<std::string> before = bindingPaths(list.get());
    std::vector<std::string> after;
    std::set<std::string> listed;
    for (const auto& path : before) {
        if (isOurs(path) && !wanted.count(path)) {
            forget(path);
            continue;
        }
        if (listed.insert(path).second) after.push_back(path);
    }
    for (const auto& [path, binding] : wanted) {
        const Settings settings = bindingSettings(path);
        for (const auto& [key, value] : {std::pair<const char*, const std::string*>{"name", &binding->name},
                                         {"command", &binding->command},
                                         {"binding", &binding->accelerator}}) {
            if (stringKey(settings.get(), key) != *value) gio().settings_set_string(settings.get(), key, value->c_str());
        }
        if (listed.insert(path).second) after.push_back(path);
    }
    if (after != before) setList(list.get(), after);
    gio().settings_sync();
    log_.log("Desktop key bindings written: %ld", static_cast<long>(wanted.size()));
}

}  // namespace quillet
