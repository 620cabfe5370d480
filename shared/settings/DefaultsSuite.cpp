#include "shared/settings/DefaultsSuite.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <thread>

#include "shared/paths/FilePaths.h"
#include "shared/logging/Logger.h"
#include "shared/errors/PlatformError.h"
#include "shared/settings/SqliteLibrary.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {

Logger logger() { return Logger(kAppSubsystem, "Defaults"); }

constexpr const char* kCreateSchema =
    "CREATE TABLE defaults_values (key TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL) WITHOUT ROWID";

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite().finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite().close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;

bool isBusy(int rc) {
    return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
}

// Whether a failure while opening comes from what the file holds. The statements run while
// opening are fixed and valid, so a generic error among them comes from the file too (a header
// that names a file format SQLite does not support, say); permissions and I/O have codes of
// their own.
bool isDamage(int rc) {
    return (rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_ERROR;
}

bool isOutOfMemory(int rc) { return (rc & 0xff) == SQLITE_NOMEM; }

// Runs a statement to completion, handing each row to onRow. The busy handler already waits for
// locks; a few conditions (a snapshot that went stale, another process recovering the WAL) come
// back as SQLITE_BUSY at once, so the whole statement is retried, after onRestart forgets the
// rows of the failed attempt, until the busy timeout has passed.
int run(sqlite3_stmt* statement, const std::function<void(sqlite3_stmt*)>& onRow = {},
        const std::function<void()>& onRestart = {}, std::chrono::milliseconds wait = DefaultsSuite::kBusyTimeout) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        int rc;
        while ((rc = sqlite().step(statement)) == SQLITE_ROW)
            if (onRow) onRow(statement);
        sqlite().reset(statement);
        if (!isBusy(rc) || std::chrono::steady_clock::now() >= deadline) return rc;
        if (onRestart) onRestart();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

Statement prepare(sqlite3* db, const char* sql, int& rc) {
    sqlite3_stmt* statement = nullptr;
    rc = sqlite().prepare_v2(db, sql, -1, &statement, nullptr);
    return Statement(statement);
}

// One SQL text run once; the first column of every row goes to onText.
int execute(sqlite3* db, const char* sql, const std::function<void(std::string)>& onText = {}) {
    const auto deadline = std::chrono::steady_clock::now() + DefaultsSuite::kBusyTimeout;
    int rc;
    Statement statement = prepare(db, sql, rc);
    // Preparing reads the schema, which can be busy or show the file is not a database.
    while (isBusy(rc) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        statement = prepare(db, sql, rc);
    }
    if (rc != SQLITE_OK) return rc;
    std::vector<std::string> texts;
    rc = run(
        statement.get(),
        [&](sqlite3_stmt* s) {
            const auto* text = reinterpret_cast<const char*>(sqlite().column_text(s, 0));
            texts.emplace_back(text ? text : "");
        },
        [&] { texts.clear(); });
    if (onText)
        for (auto& t : texts) onText(std::move(t));
    return rc;
}

// SQLite refuses to change a file whose header asks for a newer writer with the same code as a
// file this process may not write; only when the file and its folder are writable is the
// refusal the file's own doing.
bool refusedByItsHeader(int rc, const std::filesystem::path& path) {
    return rc == SQLITE_READONLY && ::access(path.c_str(), W_OK) == 0 &&
           ::access(path.parent_path().c_str(), W_OK) == 0;
}

std::string errorText(sqlite3* db, int rc) {
    if (db && sqlite().errcode(db) == rc) return sqlite().errmsg(db);
    return sqlite().errstr(rc);
}

std::string bytesOf(sqlite3_stmt* statement, int column) {
    const void* blob = sqlite().column_blob(statement, column);
    int size = sqlite().column_bytes(statement, column);
    return blob && size > 0 ? std::string(static_cast<const char*>(blob), static_cast<size_t>(size))
                            : std::string();
}

std::optional<DefaultsValue> decodeColumn(sqlite3_stmt* statement, int column) {
    const void* blob = sqlite().column_blob(statement, column);
    int size = sqlite().column_bytes(statement, column);
    if (!blob || size <= 0) return std::nullopt;
    return decodeDefaultsValue(static_cast<const std::uint8_t*>(blob), static_cast<size_t>(size));
}

// Creates every missing folder of the path with mode 0700 (the settings are the user's alone).
bool makeFolders(const std::filesystem::path& folder, std::string& failure) {
    std::filesystem::path partial;
    for (const auto& part : folder) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            failure = PlatformError::posix(errno, "Could not create " + partial.string()).description();
            return false;
        }
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        failure = folder.string() + " is not a folder";
        return false;
    }
    return true;
}

// Serialises opening (and repairing) one suite between processes, so two of them never both
// judge a file damaged and move each other's fresh database aside.
class OpenLock {
public:
    explicit OpenLock(const std::filesystem::path& lockFile) {
        fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd_ < 0) return;
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~OpenLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenLock(const OpenLock&) = delete;
    OpenLock& operator=(const OpenLock&) = delete;

private:
    int fd_ = -1;
};

std::string timestamp() {
    std::time_t now = std::time(nullptr);
    std::tm utc {};
    ::gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
    return text;
}

bool pathExists(const std::filesystem::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Whether SQLite is short of memory for anything rather than for one file: an empty suite is
// set up and checked in memory the way a file is opened. Anything but a clean run counts as
// short, so a doubtful case leaves the file alone.
bool memoryIsShort() {
    std::string failure;
    const SqliteLease library = leaseSqlite(failure);
    if (!library) return true;
    sqlite3* raw = nullptr;
    const int rc = sqlite().open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Database db(raw);
    if (rc != SQLITE_OK) return true;
    for (const char* sql : {kCreateSchema, "PRAGMA integrity_check", "PRAGMA user_version",
                            "SELECT name FROM pragma_table_info('defaults_values') ORDER BY cid"})
        if (execute(raw, sql) != SQLITE_DONE) return true;
    return false;
}

// Moves a damaged database (and its journals, which must not be replayed into a new one) aside.
std::optional<std::filesystem::path> moveAside(const std::filesystem::path& database) {
    const std::string stamp = timestamp();
    std::filesystem::path aside;
    for (int n = 1; n < 1000; ++n) {
        aside = database.string() + ".invalid-" + stamp + (n > 1 ? "-" + std::to_string(n) : "");
        if (!pathExists(aside) && !pathExists(aside.string() + "-wal")) break;
    }
    if (::rename(database.c_str(), aside.c_str()) != 0) return std::nullopt;
    for (const char* suffix : {"-wal", "-journal"}) {
        const std::string journal = database.string() + suffix;
        if (pathExists(journal) && ::rename(journal.c_str(), (aside.string() + suffix).c_str()) != 0)
            ::unlink(journal.c_str());
    }
    ::unlink((database.string() + "-shm").c_str());
    return aside;
}

}  // namespace

namespace {

// What an open database holds: the suite's table at this version, nothing yet (a file the
// application has just created), or something that is not a suite of this version.
enum class SchemaState { current, empty, foreign };

// Reads the schema version and the values table's shape; `reason` says what is foreign.
int inspectSchema(sqlite3* db, SchemaState& state, std::string& reason) {
    std::string version;
    int rc = execute(db, "PRAGMA user_version", [&](std::string v) { version = std::move(v); });
    if (rc != SQLITE_DONE) return rc;
    if (version == "0") {
        std::string tables;
        rc = execute(db, "SELECT count(*) FROM sqlite_master", [&](std::string n) { tables = std::move(n); });
        if (rc != SQLITE_DONE) return rc;
        state = tables == "0" ? SchemaState::empty : SchemaState::foreign;
        if (state == SchemaState::foreign) reason = "the database holds tables of another kind";
        return rc;
    }
    if (version != std::to_string(DefaultsSuite::kSchemaVersion)) {
        reason = "unknown schema version " + version;
        state = SchemaState::foreign;
        return rc;
    }
    std::vector<std::string> columns;
    rc = execute(db, "SELECT name FROM pragma_table_info('defaults_values') ORDER BY cid",
                 [&](std::string c) { columns.push_back(std::move(c)); });
    if (rc != SQLITE_DONE) return rc;
    state = columns == std::vector<std::string>{"key", "value"} ? SchemaState::current : SchemaState::foreign;
    if (state == SchemaState::foreign) reason = "the values table has another shape";
    return rc;
}

}  // namespace

struct DefaultsSuite::Connection {
    // "damaged" means the file is not a suite and may be moved aside; "unavailable" means it
    // could not be looked at (permissions, I/O) and must be left alone; "outOfMemory" is either
    // (memory short for a moment, or a file crafted to ask for more than there is) until the
    // caller has told them apart.
    enum class Verdict { ok, damaged, unavailable, outOfMemory };

    Verdict open(const std::filesystem::path& path, std::string& reason);
    Verdict openReadOnly(const std::filesystem::path& path, std::string& reason);
    // Opens a suite that was open before (and so was checked then) once more.
    bool reopen(const std::filesystem::path& path, bool readOnly, std::string& reason);

    // First, so it goes last: every statement and the database are closed before SQLite may go.
    SqliteLease library;
    Database db;
    Statement get;
    Statement set;
    Statement remove;
    Statement all;
    Statement removeAll;
    Statement dataVersion;

    // Opens the file with `flags` (never through a link) and sets what every connection uses:
    // extended result codes and the busy timeout. False, with the reason, when it did not open.
    bool connect(const std::filesystem::path& path, int flags, std::string& reason) {
        library = leaseSqlite(reason);
        if (!library) return false;
        sqlite3* raw = nullptr;
        const int rc = sqlite().open_v2(path.c_str(), &raw, flags | SQLITE_OPEN_NOFOLLOW, nullptr);
        db.reset(raw);
        if (rc != SQLITE_OK) {
            reason = errorText(raw, rc);
            return false;
        }
        sqlite().extended_result_codes(raw, 1);
        sqlite().busy_timeout(raw, static_cast<int>(DefaultsSuite::kBusyTimeout.count()));
        return true;
    }

    // The check both ways of opening start with; nothing when the file passed it.
    std::optional<Verdict> failedIntegrityCheck(std::string& reason) {
        std::vector<std::string> problems;
        // The full check, not quick_check: only it finds rows out of key order, which every read
        // by key would then miss while a listing still showed them. A settings file is small.
        const int rc =
            execute(db.get(), "PRAGMA integrity_check", [&](std::string p) { problems.push_back(std::move(p)); });
        if (rc != SQLITE_DONE) {
            reason = errorText(db.get(), rc);
            return isDamage(rc) ? Verdict::damaged : isOutOfMemory(rc) ? Verdict::outOfMemory : Verdict::unavailable;
        }
        if (problems.size() != 1 || problems[0] != "ok") {
            reason = problems.empty() ? "integrity check failed" : problems[0];
            return Verdict::damaged;
        }
        return std::nullopt;
    }

    // What every connection that writes holds to.
    int setWritingRules() {
        // Every assignment is on disk when it returns, even across a power cut.
        if (int rc = execute(db.get(), "PRAGMA synchronous=FULL"); rc != SQLITE_DONE) return rc;
        // The log is copied into the database after a few hundred kilobytes rather than SQLite's
        // four megabytes: the settings are small, and a log that may fill a nearly full disk
        // before its first checkpoint leaves no room for that checkpoint, so no change could be
        // stored again. With the settings in the database, a full disk is recovered from by
        // emptying the log (see runChange).
        return execute(db.get(), "PRAGMA wal_autocheckpoint=64");
    }

    // Prepares the statements of a connection whose schema is in place.
    bool prepareStatements(std::string& failure) {
        int rc = SQLITE_OK;
        const std::pair<Statement*, const char*> statements[] = {
            {&get, "SELECT value FROM defaults_values WHERE key = ?1"},
            {&set, "INSERT OR REPLACE INTO defaults_values (key, value) VALUES (?1, ?2)"},
            {&remove, "DELETE FROM defaults_values WHERE key = ?1"},
            {&all, "SELECT key, value FROM defaults_values ORDER BY key"},
            {&removeAll, "DELETE FROM defaults_values"},
            {&dataVersion, "PRAGMA data_version"},
        };
        for (const auto& [statement, sql] : statements) {
            *statement = prepare(db.get(), sql, rc);
            if (rc != SQLITE_OK) {
                failure = errorText(db.get(), rc);
                return false;
            }
        }
        return true;
    }
};

// Opens the database file and makes sure it is a suite of this version, creating the schema in a
// new (empty) file.
DefaultsSuite::Connection::Verdict DefaultsSuite::Connection::open(const std::filesystem::path& path,
                                                                   std::string& reason) {
    if (!connect(path, SQLITE_OPEN_READWRITE, reason)) return Verdict::unavailable;
    sqlite3* db = this->db.get();
    int rc = SQLITE_OK;

    auto fail = [&](int code) {
        reason = errorText(db, code);
        if (isOutOfMemory(code)) return Verdict::outOfMemory;
        return isDamage(code) || refusedByItsHeader(code, path) ? Verdict::damaged : Verdict::unavailable;
    };

    std::string mode;
    if (rc = execute(db, "PRAGMA journal_mode=WAL", [&](std::string m) { mode = std::move(m); });
        rc != SQLITE_DONE)
        return fail(rc);
    if (mode != "wal")
        logger().error("Settings database %{public}s stays in %{public}s mode; WAL is not available",
                       path.string(), mode);
    if (rc = setWritingRules(); rc != SQLITE_DONE) return fail(rc);

    if (auto failed = failedIntegrityCheck(reason)) return *failed;
    // A header that asks for a newer writer opens for reading without a word (and SQLite only
    // knows it once the first page is read): every later change would be refused.
    if (sqlite().db_readonly(db, "main") == 1 && refusedByItsHeader(SQLITE_READONLY, path)) {
        reason = "its header asks for a newer writer";
        return Verdict::damaged;
    }

    // A suite that is set up is only read here, so another program holding its write lock does
    // not keep it from opening (the application would run on another domain instead, and the
    // command line write there); only a new file takes the write lock, to create the schema.
    SchemaState schema = SchemaState::current;
    if (rc = execute(db, "BEGIN"); rc != SQLITE_DONE) return fail(rc);
    rc = inspectSchema(db, schema, reason);
    execute(db, "COMMIT");
    if (rc != SQLITE_DONE) return fail(rc);
    if (schema == SchemaState::foreign) return Verdict::damaged;
    if (schema == SchemaState::current) return prepareStatements(reason) ? Verdict::ok : Verdict::unavailable;

    if (rc = execute(db, "BEGIN IMMEDIATE"); rc != SQLITE_DONE) return fail(rc);
    Verdict verdict = Verdict::ok;
    // Looked at again under the lock: another process may have set it up meanwhile.
    rc = inspectSchema(db, schema, reason);
    if (rc == SQLITE_DONE && schema == SchemaState::empty) {
        rc = execute(db, kCreateSchema);
        if (rc == SQLITE_DONE)
            rc = execute(db, ("PRAGMA user_version=" + std::to_string(DefaultsSuite::kSchemaVersion)).c_str());
    } else if (rc == SQLITE_DONE && schema == SchemaState::foreign) {
        verdict = Verdict::damaged;
    }
    if (rc != SQLITE_DONE) {
        Verdict v = fail(rc);
        execute(db, "ROLLBACK");
        return v;
    }
    if (verdict != Verdict::ok) {
        execute(db, "ROLLBACK");
        return verdict;
    }
    if (rc = execute(db, "COMMIT"); rc != SQLITE_DONE) {
        Verdict v = fail(rc);
        execute(db, "ROLLBACK");
        return v;
    }
    if (!prepareStatements(reason)) return Verdict::unavailable;
    return Verdict::ok;
}

// Opens an existing database for reading only and makes sure it is a suite of this version.
// Nothing is created, converted or repaired: no journal mode is set, no schema is made, and a
// transaction is only ever a read.
DefaultsSuite::Connection::Verdict DefaultsSuite::Connection::openReadOnly(const std::filesystem::path& path,
                                                                           std::string& reason) {
    // SQLite opens an existing -wal before it reads a byte of the database, and would create the
    // -shm index for it, beside a damaged file too. A log without its index is left by a crash or
    // seen in the instant the application opens the suite; indexing it is the application's job.
    if (pathExists(path.string() + "-wal") && !pathExists(path.string() + "-shm")) {
        reason = "its write-ahead log has no index beside it yet";
        return Verdict::unavailable;
    }
    // Without SQLITE_OPEN_CREATE a missing file stays missing.
    if (!connect(path, SQLITE_OPEN_READONLY, reason)) {
        if (const int e = this->db ? sqlite().system_errno(this->db.get()) : 0; e != 0)
            reason += std::string(" (") + std::strerror(e) + ")";
        return Verdict::unavailable;
    }
    sqlite3* db = this->db.get();
    int rc = SQLITE_OK;

    auto fail = [&](int code) {
        reason = errorText(db, code);
        return isDamage(code) ? Verdict::damaged : Verdict::unavailable;
    };

    // The first read of a suite in WAL mode opens, and when they are missing creates, its -wal
    // and -shm files beside it: a reader cannot take part in WAL locking without them, and
    // SQLite refuses a WAL database whose -shm it can neither open nor create (short of
    // declaring the file immutable, which would hide the application's later changes and let a
    // checkpoint tear a read). They hold no settings: the -wal stays empty, since a reader never
    // writes to it, and the application reuses both and removes them when the last connection
    // to the suite closes. A database that is missing, not a database, or not in WAL mode gets
    // no new file.
    if (auto failed = failedIntegrityCheck(reason)) return *failed;

    // One read transaction, so the version and the table come from the same commit.
    if (rc = execute(db, "BEGIN"); rc != SQLITE_DONE) return fail(rc);
    SchemaState schema = SchemaState::current;
    rc = inspectSchema(db, schema, reason);
    const Verdict verdict = rc != SQLITE_DONE ? fail(rc)
                            : schema == SchemaState::foreign ? Verdict::damaged
                            : schema == SchemaState::empty ? Verdict::unavailable
                                                           : Verdict::ok;
    if (rc == SQLITE_DONE && schema == SchemaState::empty) reason = "the application has not set the suite up yet";
    execute(db, "COMMIT");
    if (verdict != Verdict::ok) return verdict;
    if (!prepareStatements(reason)) return Verdict::unavailable;
    return Verdict::ok;
}

bool DefaultsSuite::Connection::reopen(const std::filesystem::path& path, bool readOnly, std::string& reason) {
    if (readOnly && pathExists(path.string() + "-wal") && !pathExists(path.string() + "-shm")) {
        reason = "its write-ahead log has no index beside it yet";
        return false;
    }
    if (!connect(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, reason)) return false;
    if (!readOnly) {
        if (const int rc = setWritingRules(); rc != SQLITE_DONE) {
            reason = errorText(db.get(), rc);
            return false;
        }
    }
    return prepareStatements(reason);
}

namespace {

// What the database and its log look like on disk (which file, how long, when last written): any
// commit changes it, and nothing but a commit or a checkpoint does while no connection of this
// process is open. Not the change time: SQLite gives the log its owner again on opening it. The
// files are only looked at, never opened: closing a descriptor of them would drop the locks that
// other connections of this process hold.
std::string filesState(const std::filesystem::path& database) {
    std::string state;
    for (const std::string& path : {database.string(), database.string() + "-wal"}) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            state += "-;";
            continue;
        }
        for (long long n : {static_cast<long long>(st.st_dev), static_cast<long long>(st.st_ino),
                            static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
                            static_cast<long long>(st.st_mtim.tv_nsec)})
            state += std::to_string(n) + ',';
        state += ';';
    }
    return state;
}

// A new database file is created here rather than by SQLite so that it is private from its first
// byte; SQLite gives its -wal and -shm files the same mode.
bool prepareFile(const std::filesystem::path& path, std::string& failure) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        // Never open() and close() an existing database here: closing any descriptor of the file
        // drops the POSIX locks that other connections of this process hold on it.
        if (S_ISREG(st.st_mode) && (st.st_mode & 077) != 0 && st.st_uid == ::geteuid())
            ::chmod(path.c_str(), 0600);
        return true;
    }
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) {
        failure = PlatformError::posix(errno, "Could not create " + path.string()).description();
        return false;
    }
    if (fd >= 0) ::close(fd);
    return true;
}

}  // namespace

DefaultsSuite::DefaultsSuite(std::string name, std::filesystem::path databasePath,
                             std::unique_ptr<Connection> connection, bool readOnly)
    : name_(std::move(name)),
      databasePath_(std::move(databasePath)),
      readOnly_(readOnly),
      connection_(std::move(connection)) {
    // The baseline: only commits made elsewhere after opening count as changes.
    changedElsewhere();
}

DefaultsSuite::~DefaultsSuite() = default;

bool DefaultsSuite::isValidSuiteName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.size() <= 255 &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::optional<std::filesystem::path> DefaultsSuite::containerDirectory(
    const std::optional<std::filesystem::path>& configurationHome, std::string_view suiteName) {
    // A relative home would depend on the working folder.
    if (!isValidSuiteName(suiteName) || !configurationHome || !configurationHome->is_absolute()) return std::nullopt;
    return standardizedPath(*configurationHome) / std::string(suiteName);
}

std::unique_ptr<DefaultsSuite> DefaultsSuite::open(const std::optional<std::filesystem::path>& configurationHome,
                                                   const std::string& suiteName) {
    auto folder = containerDirectory(configurationHome, suiteName);
    if (!folder) {
        logger().error("Could not open settings suite %{public}s: no configuration folder for that name",
                       suiteName);
        return nullptr;
    }
    const std::filesystem::path path = *folder / kDatabaseFileName;
    std::string failure;
    if (!makeFolders(*folder, failure)) {
        logger().error("Could not open settings suite %{public}s: %{public}s", suiteName, failure);
        return nullptr;
    }
    OpenLock lock(*folder / (std::string(kDatabaseFileName) + ".lock"));
    bool triedAgainForMemory = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!prepareFile(path, failure)) {
            logger().error("Could not open settings suite %{public}s: %{public}s", suiteName, failure);
            return nullptr;
        }
        auto connection = std::make_unique<Connection>();
        std::string reason;
        auto verdict = connection->open(path, reason);
        if (verdict == Connection::Verdict::ok)
            return std::unique_ptr<DefaultsSuite>(new DefaultsSuite(suiteName, path, std::move(connection), false));
        connection.reset();
        if (verdict == Connection::Verdict::outOfMemory) {
            // Memory may have been short for a moment: once more, from a new connection.
            if (!triedAgainForMemory) {
                triedAgainForMemory = true;
                logger().error("Ran out of memory opening settings suite %{public}s at %{public}s; trying once more",
                               suiteName, path.string());
                --attempt;
                continue;
            }
            // Short again: a file that asks for more memory than an empty suite needs is no
            // settings file this application wrote, while memory short for everything is no
            // fault of the file's.
            if (memoryIsShort()) {
                verdict = Connection::Verdict::unavailable;
                reason += " (memory is short)";
            } else {
                verdict = Connection::Verdict::damaged;
                reason += " twice, although an empty suite opens";
            }
        }
        if (verdict == Connection::Verdict::unavailable || attempt > 0) {
            logger().error("Could not open settings suite %{public}s at %{public}s: %{public}s", suiteName,
                           path.string(), reason);
            return nullptr;
        }
        auto aside = moveAside(path);
        if (!aside) {
            const std::string why = PlatformError::posix(errno, "rename").description();
            logger().error("Could not move the damaged settings database %{public}s aside (%{public}s): %{public}s",
                           path.string(), reason, why);
            return nullptr;
        }
        logger().error("Moved the damaged settings database %{public}s aside to %{public}s (%{public}s); the suite starts empty",
                       path.string(), aside->string(), reason);
    }
    return nullptr;
}

std::unique_ptr<DefaultsSuite> DefaultsSuite::openShared(const std::optional<std::filesystem::path>& configurationHome) {
    if (auto suite = open(configurationHome, kSharedSuiteName)) return suite;
    logger().error("Could not open the shared settings suite %{public}s; using %{public}s instead",
                   kSharedSuiteName, kStandardDomainName);
    if (auto suite = open(configurationHome, kStandardDomainName)) return suite;
    logger().error("Could not open settings suite %{public}s either; settings last until Quillet+ quits",
                   kStandardDomainName);
    return openInMemory(kStandardDomainName);
}

std::unique_ptr<DefaultsSuite> DefaultsSuite::openReadOnly(const std::string& suiteName,
                                                          const std::filesystem::path& containerDirectory,
                                                          std::string& failure) {
    const std::filesystem::path path = containerDirectory / kDatabaseFileName;
    auto connection = std::make_unique<Connection>();
    std::string reason;
    if (connection->openReadOnly(path, reason) != Connection::Verdict::ok) {
        failure = path.string() + ": " + reason;
        return nullptr;
    }
    return std::unique_ptr<DefaultsSuite>(new DefaultsSuite(suiteName, path, std::move(connection), true));
}

std::unique_ptr<DefaultsSuite> DefaultsSuite::openInMemory(const std::string& suiteName) {
    auto connection = std::make_unique<Connection>();
    std::string failure;
    connection->library = leaseSqlite(failure);
    if (!connection->library) {
        logger().error("Cannot keep settings even in memory: %{public}s", failure);
        std::abort();
    }
    sqlite3* raw = nullptr;
    int rc = sqlite().open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    connection->db.reset(raw);
    // Only an allocation failure can stop an in-memory database; nothing sensible goes on then.
    if (rc != SQLITE_OK || execute(raw, kCreateSchema) != SQLITE_DONE || !connection->prepareStatements(failure))
        std::abort();
    return std::unique_ptr<DefaultsSuite>(new DefaultsSuite(suiteName, {}, std::move(connection), false));
}

DefaultsSuite::Connection* DefaultsSuite::connection() const {
    if (connection_) return connection_.get();
    auto connection = std::make_unique<Connection>();
    std::string reason;
    if (!connection->reopen(databasePath_, readOnly_, reason)) {
        logger().error("Could not open settings suite %{public}s at %{public}s again: %{public}s", name_,
                       databasePath_.string(), reason);
        return nullptr;
    }
    connection_ = std::move(connection);
    dataVersion_.reset();
    dataVersion();
    // The files after the new baseline: a commit made before it changed them, one made after it
    // shows in the data version.
    if (filesState(databasePath_) != restingFiles_) changedWhileResting_ = true;
    return connection_.get();
}

void DefaultsSuite::rest() {
    if (!connection_ || !isPersistent()) return;
    // Files first: a commit made after this look changes them, one made before it shows in the
    // data version read next.
    std::string files = filesState(databasePath_);
    if (dataVersionChanged()) changedWhileResting_ = true;
    // The log and its index stay as they are, so closing changes no file and looks like no commit.
    sqlite().db_config(connection_->db.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    connection_.reset();
    restingFiles_ = std::move(files);
}

std::optional<DefaultsValue> DefaultsSuite::get(const std::string& key) const {
    Connection* connection = this->connection();
    if (!connection) return std::nullopt;
    sqlite3_stmt* statement = connection->get.get();
    sqlite().bind_text(statement, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    std::optional<std::string> bytes;
    int rc = run(statement, [&](sqlite3_stmt* s) { bytes = bytesOf(s, 0); }, [&] { bytes.reset(); });
    sqlite().clear_bindings(statement);
    if (rc != SQLITE_DONE) {
        logger().error("Could not read %{public}s from settings suite %{public}s: %{public}s", key, name_,
                       errorText(connection->db.get(), rc));
        return std::nullopt;
    }
    if (!bytes) return std::nullopt;
    auto value = decodeDefaultsValue(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size());
    if (!value)
        logger().error("Ignoring the undecodable value of %{public}s in settings suite %{public}s", key, name_);
    return value;
}

DefaultsValue::Dictionary DefaultsSuite::dictionaryRepresentation() const {
    DefaultsValue::Dictionary values;
    Connection* connection = this->connection();
    if (!connection) return values;
    std::vector<std::string> damaged;
    int rc = run(
        connection->all.get(),
        [&](sqlite3_stmt* s) {
            std::string key = bytesOf(s, 0);
            if (auto value = decodeColumn(s, 1))
                values.insert_or_assign(std::move(key), std::move(*value));
            else
                damaged.push_back(std::move(key));
        },
        [&] {
            values.clear();
            damaged.clear();
        });
    if (rc != SQLITE_DONE) {
        logger().error("Could not list settings suite %{public}s: %{public}s", name_,
                       errorText(connection->db.get(), rc));
        return {};
    }
    for (const auto& key : damaged)
        logger().error("Ignoring the undecodable value of %{public}s in settings suite %{public}s", key, name_);
    return values;
}

std::vector<std::string> DefaultsSuite::keys() const {
    std::vector<std::string> keys;
    for (auto& [key, value] : dictionaryRepresentation()) keys.push_back(key);
    return keys;
}

namespace {

// Runs a change; when the disk is full, moves what the write-ahead log holds into the database
// and empties the log, then tries once more. The log only grows until a checkpoint, and one
// happens only after a commit that no longer fits, so without this a disk that filled up once
// would refuse every later change, however small, even where replacing the same keys needs no
// new room. The change failed as a whole before the retry, so it lands at most once.
int runChange(sqlite3* db, sqlite3_stmt* statement, std::chrono::milliseconds wait = DefaultsSuite::kBusyTimeout) {
    int rc = run(statement, {}, {}, wait);
    if ((rc & 0xff) != SQLITE_FULL) return rc;
    if (execute(db, "PRAGMA wal_checkpoint(TRUNCATE)") != SQLITE_DONE) return rc;
    return run(statement, {}, {}, wait);
}

// Waits at most `wait` for another connection's lock while alive; the suite's own timeout after.
class BusyWait {
public:
    BusyWait(sqlite3* db, std::chrono::milliseconds wait) : db_(db), changed_(wait != DefaultsSuite::kBusyTimeout) {
        if (changed_) sqlite().busy_timeout(db_, static_cast<int>(wait.count()));
    }
    ~BusyWait() {
        if (changed_) sqlite().busy_timeout(db_, static_cast<int>(DefaultsSuite::kBusyTimeout.count()));
    }
    BusyWait(const BusyWait&) = delete;
    BusyWait& operator=(const BusyWait&) = delete;

private:
    sqlite3* db_;
    bool changed_;
};

// Why a change was refused, said so that the user knows what to do about it.
std::string refusalReason(sqlite3* db, int rc) {
    switch (rc & 0xff) {
        case SQLITE_FULL:
            return N_("There is no room left on the disk.");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return N_("Another program kept the settings locked.");
        case SQLITE_READONLY:
            return N_("The settings file cannot be written to.");
        default: break;
    }
    const int e = sqlite().system_errno(db);
    std::string why = e != 0 ? std::strerror(e) : errorText(db, rc);
    if (!why.empty() && why.back() != '.') why += '.';
    // TRANSLATORS: %1 is the system's reason, a sentence.
    return formatText(translate("The settings file could not be written: %1"), {why});
}

DefaultsWriteError writeError(sqlite3* db, int rc, const std::string& description) {
    return DefaultsWriteError(DefaultsSuite::kErrorDomain, rc, description + errorText(db, rc), refusalReason(db, rc),
                              isBusy(rc));
}

}  // namespace

void DefaultsSuite::setOrThrow(const std::string& key, const DefaultsValue& value, std::chrono::milliseconds wait) {
    if (value.depth() > kMaximumDefaultsValueDepth) {
        const std::string why = "The value nests deeper than " + std::to_string(kMaximumDefaultsValueDepth) + " levels.";
        throw DefaultsWriteError(kErrorDomain, SQLITE_TOOBIG, "The value of " + key + " nests deeper than " +
                                     std::to_string(kMaximumDefaultsValueDepth) + " levels.",
                                 why, false);
    }
    const std::vector<std::uint8_t> bytes = encodeDefaultsValue(value);
    Connection& connection = connectionOrThrow("The setting " + key + " could not be saved: ");
    sqlite3* db = connection.db.get();
    sqlite3_stmt* statement = connection.set.get();
    sqlite().bind_text(statement, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    sqlite().bind_blob(statement, 2, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    int rc;
    {
        BusyWait busyWait(db, wait);
        rc = runChange(db, statement, wait);
    }
    sqlite().clear_bindings(statement);
    if (rc != SQLITE_DONE) throw writeError(db, rc, "The setting " + key + " could not be saved: ");
}

void DefaultsSuite::removeOrThrow(const std::string& key) {
    const std::string description = "The setting " + key + " could not be removed: ";
    Connection& connection = connectionOrThrow(description);
    sqlite3_stmt* statement = connection.remove.get();
    sqlite().bind_text(statement, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
    int rc = runChange(connection.db.get(), statement);
    sqlite().clear_bindings(statement);
    if (rc != SQLITE_DONE) throw writeError(connection.db.get(), rc, description);
}

void DefaultsSuite::removePersistentDomainOrThrow() {
    const std::string description = "The settings of " + name_ + " could not be removed: ";
    Connection& connection = connectionOrThrow(description);
    int rc = runChange(connection.db.get(), connection.removeAll.get());
    if (rc != SQLITE_DONE) throw writeError(connection.db.get(), rc, description);
}

DefaultsSuite::Connection& DefaultsSuite::connectionOrThrow(const std::string& description) const {
    if (Connection* connection = this->connection()) return *connection;
    throw DefaultsWriteError(kErrorDomain, SQLITE_CANTOPEN, description + "the database could not be opened again",
                             N_("The settings file cannot be written to."), false);
}

std::optional<std::int64_t> DefaultsSuite::dataVersion() const {
    std::optional<std::int64_t> version;
    const int rc = run(
        connection_->dataVersion.get(), [&](sqlite3_stmt* s) { version = sqlite().column_int64(s, 0); },
        [&] { version.reset(); });
    if (rc != SQLITE_DONE || !version) {
        logger().error("Could not tell whether settings suite %{public}s changed: %{public}s", name_,
                       errorText(connection_->db.get(), rc));
        return std::nullopt;
    }
    const std::optional<std::int64_t> before = dataVersion_;
    dataVersion_ = version;
    return before;
}

bool DefaultsSuite::dataVersionChanged() {
    const std::optional<std::int64_t> before = dataVersion();
    return before && dataVersion_ && *before != *dataVersion_;
}

bool DefaultsSuite::changedElsewhere() {
    // While resting only the files are looked at; SQLite is loaded again only for a change.
    if (!connection_ && !changedWhileResting_ && filesState(databasePath_) == restingFiles_) return false;
    // Opened now when resting, so the reload that follows reads through it, and a suite that
    // cannot be opened is not read as empty.
    if (!connection()) return false;
    const bool changed = dataVersionChanged() || changedWhileResting_;
    changedWhileResting_ = false;
    return changed;
}

bool DefaultsSuite::set(const std::string& key, const DefaultsValue& value) {
    try {
        setOrThrow(key, value);
        return true;
    } catch (const PlatformError& e) {
        logger().error("Could not save %{public}s in settings suite %{public}s: %{public}s", key, name_, e.description());
        return false;
    }
}

bool DefaultsSuite::remove(const std::string& key) {
    try {
        removeOrThrow(key);
        return true;
    } catch (const PlatformError& e) {
        logger().error("Could not remove %{public}s from settings suite %{public}s: %{public}s", key, name_,
                       e.description());
        return false;
    }
}

bool DefaultsSuite::removePersistentDomain() {
    try {
        removePersistentDomainOrThrow();
        return true;
    } catch (const PlatformError& e) {
        logger().error("Could not remove settings suite %{public}s: %{public}s", name_, e.description());
        return false;
    }
}

}  // namespace quillet
