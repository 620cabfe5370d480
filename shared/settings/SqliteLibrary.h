#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>

namespace quillet {

// The SQLite functions the settings suite calls. SQLite is loaded when a suite needs it and
// unloaded when no suite needs it any more, so a process that keeps its settings in memory while
// idle (the application between changes) does not keep a megabyte of database engine mapped.
#define QUILLET_SQLITE_FUNCTIONS(X)                                                                      \
    X(open_v2) X(close_v2) X(db_config) X(extended_result_codes) X(busy_timeout) X(prepare_v2) X(step) \
    X(reset) X(finalize) X(bind_text) X(bind_blob) X(clear_bindings) X(column_blob) X(column_bytes)    \
    X(column_int64) X(column_text) X(errcode) X(errmsg) X(errstr) X(system_errno) X(db_readonly)

struct SqliteFunctions {
#define QUILLET_SQLITE_MEMBER(name) decltype(&sqlite3_##name) name = nullptr;
    QUILLET_SQLITE_FUNCTIONS(QUILLET_SQLITE_MEMBER)
#undef QUILLET_SQLITE_MEMBER
};

// A hold on the loaded library: SQLite stays loaded while any lease is alive, and everything
// made through it (connections, statements) must be gone before the last lease is.
using SqliteLease = std::shared_ptr<const SqliteFunctions>;

// Loads SQLite, or takes another hold on it when it is loaded; null, with the loader's reason in
// `failure`, when it cannot be loaded. Safe from any thread.
SqliteLease leaseSqlite(std::string& failure);

// The functions of the loaded library, for a caller that holds a lease.
const SqliteFunctions& sqlite();

}  // namespace quillet
