#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/Identifiers.h"
#include "shared/errors/PlatformError.h"
#include "shared/settings/DefaultsValue.h"

namespace quillet {

// A change the suite did not store, with why in words a user can act on; its description keeps
// the key for the command line and the log.
class DefaultsWriteError : public PlatformError {
public:
    DefaultsWriteError(std::string domain, int code, std::string description, std::string reason, bool locked)
        : PlatformError(std::move(domain), code, std::move(description)), reason_(std::move(reason)), locked_(locked) {}

    // One sentence: "There is no room left on the disk.", "Another program kept the settings locked." …
    const std::string& reason() const { return reason_; }
    // Another connection held the write lock for longer than the caller would wait: trying again
    // later may succeed.
    bool isLocked() const { return locked_; }

private:
    std::string reason_;
    bool locked_;
};

// A named settings suite that several processes open by name: the application writes it, the
// file-manager extension reads it. Each suite is one SQLite database,
// <configuration home>/<suite name>/Defaults.sqlite, in WAL mode so a reader sees either the old
// or the new value of a key while another process writes it. The configuration home is the
// user's ($XDG_CONFIG_HOME), found by the composition root and passed in; without one
// (nothing) no suite file can be opened.
//
// Every assignment is its own transaction and is on disk when the call returns. A database that
// is not a suite (foreign bytes, another schema) is moved aside under a timestamped name and the
// suite starts empty, by the application's open() only; a stored value that cannot be decoded
// reads as absent. Reads never throw.
//
// This class is the only place that talks to SQLite (loaded through SqliteLibrary while open).
class DefaultsSuite {
public:
    // The app group suite shared by the application and the extension.
    static constexpr const char* kSharedSuiteName = kAppGroupIdentifier;
    // The process's own domain (the bundle identifier), used when the shared suite cannot open.
    static constexpr const char* kStandardDomainName = kBundleIdentifier;
    static constexpr const char* kDatabaseFileName = "Defaults.sqlite";
    static constexpr int kSchemaVersion = 1;
    static constexpr std::chrono::milliseconds kBusyTimeout{5000};
    // The domain of the PlatformError thrown by the *OrThrow operations.
    static constexpr const char* kErrorDomain = "org.quillet.DefaultsSuite";

    // The folder that holds a suite's database (the app group container for the shared suite).
    static std::optional<std::filesystem::path> containerDirectory(
        const std::optional<std::filesystem::path>& configurationHome, std::string_view suiteName);
    // One path component: not empty, not "." or "..", no "/" or NUL.
    static bool isValidSuiteName(std::string_view suiteName);

    // Opens (creating when needed) the suite of that name; null when it cannot be opened.
    static std::unique_ptr<DefaultsSuite> open(const std::optional<std::filesystem::path>& configurationHome,
                                               const std::string& suiteName);
    // The suite this process keeps its settings in: the shared suite, else the standard domain,
    // else (logged) a suite held in memory for this run only. Never null. Every component that
    // needs "the settings" takes the suite from here, so they all agree.
    static std::unique_ptr<DefaultsSuite> openShared(const std::optional<std::filesystem::path>& configurationHome);
    // Opens the suite whose database lies in that folder for reading only, as a process that
    // must never change the application's settings does (the file-manager extension): no
    // folder, database or schema is created, a damaged database is left where it is for the
    // application to move aside, and every change fails (false, or a PlatformError). Null when
    // the suite is missing, unreadable, damaged or not set up yet; `failure` then says why.
    // Nothing is logged here: only the caller knows how often it asks.
    static std::unique_ptr<DefaultsSuite> openReadOnly(const std::string& suiteName,
                                                       const std::filesystem::path& containerDirectory,
                                                       std::string& failure);
    // A suite that lives only as long as the object; used when no file can be opened.
    static std::unique_ptr<DefaultsSuite> openInMemory(const std::string& suiteName);

    ~DefaultsSuite();
    DefaultsSuite(const DefaultsSuite&) = delete;
    DefaultsSuite& operator=(const DefaultsSuite&) = delete;

    const std::string& name() const { return name_; }
    // Empty for a suite held in memory.
    const std::filesystem::path& databasePath() const { return databasePath_; }
    bool isPersistent() const { return !databasePath_.empty(); }

    // The value of a key; nothing when it is missing, cannot be read or cannot be decoded.
    std::optional<DefaultsValue> get(const std::string& key) const;
    // Every key with a readable value, in ascending byte order.
    std::vector<std::string> keys() const;
    // Every readable key and value.
    DefaultsValue::Dictionary dictionaryRepresentation() const;

    // Stores the value under the key, replacing any earlier one. Returns false (and logs) when
    // it could not be stored; the earlier value then stays.
    bool set(const std::string& key, const DefaultsValue& value);
    // Removes the key; a missing key is not a failure.
    bool remove(const std::string& key);
    // Removes every key of the suite in one transaction.
    bool removePersistentDomain();

    // The same, reporting why a change was not stored (a DefaultsWriteError in kErrorDomain).
    // `wait`: how long a write lock held by another connection is waited for; the main thread
    // passes next to nothing and tries again later rather than freeze its windows.
    void setOrThrow(const std::string& key, const DefaultsValue& value,
                    std::chrono::milliseconds wait = kBusyTimeout);
    void removeOrThrow(const std::string& key);
    void removePersistentDomainOrThrow();

    // Whether another connection (another process, or another suite object of this one) has
    // committed a change since the suite was opened or this was last asked; this suite's own
    // assignments never count. Cheap enough to ask several times a second. False when it cannot
    // tell (logged). While the suite rests, any change to the database files counts (a
    // checkpoint too), and the suite opens again to be read.
    bool changedElsewhere();

    // Closes the database, and unloads SQLite when no other suite holds it, until the next call
    // needs them again: for a process that keeps its settings in memory while idle. A suite in
    // memory stays open.
    void rest();
    bool isResting() const { return !connection_; }

private:
    struct Connection;
    DefaultsSuite(std::string name, std::filesystem::path databasePath, std::unique_ptr<Connection> connection,
                  bool readOnly);

    // The open connection, opened again after rest(); null (logged) when it cannot be.
    Connection* connection() const;
    Connection& connectionOrThrow(const std::string& description) const;
    // Reads SQLite's count of commits by other connections into dataVersion_ and returns the
    // count seen before; nothing when there was none or it cannot be read (logged).
    std::optional<std::int64_t> dataVersion() const;
    bool dataVersionChanged();

    std::string name_;
    std::filesystem::path databasePath_;
    bool readOnly_;
    mutable std::unique_ptr<Connection> connection_;
    // SQLite's count of commits by other connections, as last seen by this connection.
    mutable std::optional<std::int64_t> dataVersion_;
    // While resting: the database files as they were when the connection closed, and whether a
    // change made elsewhere was seen but not yet reported.
    std::string restingFiles_;
    mutable bool changedWhileResting_ = false;
};

}  // namespace quillet
