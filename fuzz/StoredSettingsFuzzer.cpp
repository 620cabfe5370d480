// Every stored setting is read back from a suite that other programs (the command line, an
// older or newer version, a person with a database tool) may have filled with anything. The
// input gives some keys a value of any kind and content; loading the settings must never crash
// or throw, every field must come out within what the application can use (an offered
// presence, a usable shortcut, per-type shortcuts only for catalog types, an order that names
// every catalog type once or more and nothing else), and writing every field back must read
// back as exactly the same settings.
//
// Input: records separated by 0x1e. A record is a key byte (e enabled ids, o order, p presence,
// q Quick Create shortcut, f per-type shortcuts, d destination, h onboarding; other bytes pick
// by value), a kind byte (r the suite's stored form, decoded as the suite decodes a stored
// value; d data; s string; a array of strings split at newlines; i integer; b boolean; other
// bytes pick by value) and the payload.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings/AppSettings.h"
#include "shared/catalog/FileTypeCatalog.h"
#include "shared/logging/Logger.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/settings/SettingsKeys.h"

using namespace quillet;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

class NoLog : public LogSink {
public:
    void write(const LogRecord&) override {}
};

constexpr const char* kKeys[] = {settingsKey::enabledFileTypeIDs,      settingsKey::fileTypeOrder,
                                 settingsKey::appPresence,             settingsKey::quickCreateShortcut,
                                 settingsKey::fileTypeShortcuts,       settingsKey::directShortcutDestination,
                                 settingsKey::hasCompletedOnboarding};

const char* keyFor(char selector) {
    const std::string_view letters = "eopqfdh";
    const auto at = letters.find(selector);
    return kKeys[at != std::string_view::npos ? at : static_cast<unsigned char>(selector) % std::size(kKeys)];
}

std::optional<DefaultsValue> valueFor(char selector, std::string_view payload) {
    const std::string_view kinds = "rdsaib";
    const auto at = kinds.find(selector);
    switch (at != std::string_view::npos ? kinds[at] : kinds[static_cast<unsigned char>(selector) % kinds.size()]) {
        case 'r':
            return decodeDefaultsValue(reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size());
        case 'd':
            return DefaultsValue(DefaultsValue::Data(payload.begin(), payload.end()));
        case 's':
            return DefaultsValue(std::string(payload));
        case 'a': {
            DefaultsValue::Array strings;
            while (true) {
                const auto end = payload.find('\n');
                strings.emplace_back(std::string(payload.substr(0, end)));
                if (end == std::string_view::npos) break;
                payload.remove_prefix(end + 1);
            }
            return DefaultsValue(std::move(strings));
        }
        case 'i': {
            std::int64_t n = 0;
            std::from_chars(payload.data(), payload.data() + payload.size(), n);
            return DefaultsValue(n);
        }
        default:
            return DefaultsValue(payload == "true");
    }
}

void checkWithinRange(const AppSettings& settings, DefaultsSuite& suite) {
    require(settings.appPresence.get() == AppPresence::dockOnly || settings.appPresence.get() == AppPresence::menuBarOnly);
    const auto presence = suite.get(settingsKey::appPresence);
    require(presence && presence->string() && *presence->string() == rawValue(settings.appPresence.get()));

    require(settings.quickCreateShortcut->isUsable());
    for (const auto& [id, shortcut] : settings.fileTypeShortcuts.get()) require(fileType(id) && shortcut.isUsable());
    require(creationDestinationModeFromRawValue(rawValue(settings.directShortcutDestination.get())) ==
            settings.directShortcutDestination.get());

    std::set<std::string> named;
    for (const auto& id : settings.fileTypeOrder.get()) {
        require(fileType(id) != nullptr);
        named.insert(id);
    }
    require(named == allIDs());
    require(settings.orderedFileTypes().size() == settings.fileTypeOrder->size());
    for (const auto& type : settings.enabledFileTypesInOrder()) require(settings.enabledFileTypeIDs->count(type.id));
}

bool sameSettings(const AppSettings& a, const AppSettings& b) {
    return a.enabledFileTypeIDs.get() == b.enabledFileTypeIDs.get() && a.fileTypeOrder.get() == b.fileTypeOrder.get() &&
           a.appPresence.get() == b.appPresence.get() && a.quickCreateShortcut.get() == b.quickCreateShortcut.get() &&
           a.fileTypeShortcuts.get() == b.fileTypeShortcuts.get() &&
           a.directShortcutDestination.get() == b.directShortcutDestination.get() &&
           a.hasCompletedOnboarding.get() == b.hasCompletedOnboarding.get();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    installLogSink(std::make_shared<NoLog>());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto suite = DefaultsSuite::openInMemory("fuzz");
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        const auto end = input.find('\x1e');
        const std::string_view record = input.substr(0, end);
        if (record.size() >= 2) {
            if (auto value = valueFor(record[1], record.substr(2)))
                require(suite->set(keyFor(record[0]), *value));
        }
        if (end == std::string_view::npos) break;
        input.remove_prefix(end + 1);
    }

    AppSettings loaded(*suite);
    checkWithinRange(loaded, *suite);
    // The extension's reading of the two type keys agrees with the application's.
    require(loadEnabledFileTypeIDs(*suite) == loaded.enabledFileTypeIDs.get());
    require(loadFileTypeOrder(*suite) == loaded.fileTypeOrder.get());

    // Written back as loaded, every field reads back the same, and a reload changes nothing.
    loaded.enabledFileTypeIDs.set(loaded.enabledFileTypeIDs.get());
    loaded.fileTypeOrder.set(loaded.fileTypeOrder.get());
    loaded.appPresence.set(loaded.appPresence.get());
    loaded.quickCreateShortcut.set(loaded.quickCreateShortcut.get());
    loaded.fileTypeShortcuts.set(loaded.fileTypeShortcuts.get());
    loaded.directShortcutDestination.set(loaded.directShortcutDestination.get());
    loaded.hasCompletedOnboarding.set(loaded.hasCompletedOnboarding.get());
    AppSettings again(*suite);
    require(sameSettings(loaded, again));
    loaded.reloadFromSuite();
    require(sameSettings(loaded, again));
    return 0;
}
