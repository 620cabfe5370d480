#include "shared/settings/SqliteLibrary.h"

#include <atomic>
#include <mutex>
#include <type_traits>

#include "shared/OnDemandLibrary.h"

namespace quillet {

namespace {

struct Loaded : SqliteFunctions {
    explicit Loaded(std::unique_ptr<OnDemandLibrary> library) : library(std::move(library)) {}
    std::unique_ptr<OnDemandLibrary> library;
};

std::mutex mutex;
std::weak_ptr<const SqliteFunctions> current;
std::atomic<const SqliteFunctions*> functions{nullptr};

}  // namespace

SqliteLease leaseSqlite(std::string& failure) {
    std::lock_guard lock(mutex);
    if (auto lease = current.lock()) return lease;
    // SQLite starts no threads and registers no exit handlers, so it may go with the last lease.
    auto library = std::make_unique<OnDemandLibrary>("libsqlite3.so.0", OnDemandLibrary::Lifetime::object);
    if (!library->loaded()) {
        failure = "SQLite could not be loaded: " + library->error();
        return nullptr;
    }
    auto loaded = std::make_unique<Loaded>(std::move(library));
#define QUILLET_SQLITE_FIND(name)                                                                    \
    loaded->name = loaded->library->function<std::remove_pointer_t<decltype(loaded->name)>>("sqlite3_" #name); \
    if (!loaded->name) {                                                                             \
        failure = "SQLite has no sqlite3_" #name;                                                    \
        return nullptr;                                                                              \
    }
    QUILLET_SQLITE_FUNCTIONS(QUILLET_SQLITE_FIND)
#undef QUILLET_SQLITE_FIND
    // The last lease unloads the library (under the lock, so a new lease waits for it).
    SqliteLease lease(loaded.release(), [](const SqliteFunctions* f) {
        std::lock_guard unloading(mutex);
        if (functions.load() == f) functions.store(nullptr);
        delete static_cast<const Loaded*>(f);
    });
    current = lease;
    functions.store(lease.get());
    return lease;
}

const SqliteFunctions& sqlite() { return *functions.load(); }

}  // namespace quillet
