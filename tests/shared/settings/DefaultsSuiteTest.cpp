#include <gtest/gtest.h>
#include <sqlite3.h>
#include <poll.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>

#include "shared/settings/DefaultsSuite.h"
#include "shared/logging/Logger.h"
#include "shared/errors/PlatformError.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/SettingsLockHolder.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TemporaryConfigHome.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;

namespace {

constexpr const char* kSuite = DefaultsSuite::kSharedSuiteName;

unsigned mode(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

// The database header: bytes 18-19 are 2 in WAL mode; bytes 60-63 hold user_version.
struct Header {
    bool wal = false;
    std::uint32_t userVersion = 0;
};

Header header(const fs::path& database) {
    std::string bytes = readFile(database);
    Header h;
    if (bytes.size() < 100) return h;
    h.wal = bytes[18] == 2 && bytes[19] == 2;
    for (int i = 60; i < 64; ++i) h.userVersion = (h.userVersion << 8) | static_cast<std::uint8_t>(bytes[i]);
    return h;
}

// Builds a database the suite did not write, to see how it copes with one.
void makeDatabase(const fs::path& path, const std::string& sql) {
    fs::create_directories(path.parent_path());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

std::vector<fs::path> asideFiles(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".invalid-") != std::string::npos &&
            !entry.path().string().ends_with("-wal"))
            found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    return found;
}

bool loggedError(const MemoryLogSink& sink, const std::string& fragment) {
    for (const auto& r : sink.records())
        if (r.level == LogLevel::Error && r.message.find(fragment) != std::string::npos) return true;
    return false;
}

DefaultsValue sampleValue() {
    return DefaultsValue::Dictionary{
        {"enabled", DefaultsValue::Array{"txt", 5}},
        {"real", 5.0},
        {"bits", -0.0},
        {"big", std::numeric_limits<std::int64_t>::min()},
        {"data", DefaultsValue::Data{0, 1, 0xfe}},
        {"deep", DefaultsValue::Array{DefaultsValue::Dictionary{{"x", DefaultsValue::Array{true, false}}}}},
    };
}

}  // namespace

TEST(DefaultsSuite, LivesInThePrivateSuiteFolderOfTheConfigurationHome) {
    TemporaryConfigHome home;
    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    const fs::path database = home.suiteFolder(kSuite) / "Defaults.sqlite";
    EXPECT_EQ(suite->databasePath(), database);
    EXPECT_TRUE(suite->isPersistent());
    EXPECT_EQ(suite->name(), kSuite);
    ASSERT_TRUE(suite->set("k", 1));
    EXPECT_EQ(mode(database), 0600u);
    EXPECT_EQ(mode(home.suiteFolder(kSuite)), 0700u);
    EXPECT_EQ(mode(database.string() + "-wal"), 0600u);
    // Closing moves the journal's pages into the database file, header included.
    suite.reset();
    const Header h = header(database);
    EXPECT_TRUE(h.wal);
    EXPECT_EQ(h.userVersion, static_cast<std::uint32_t>(DefaultsSuite::kSchemaVersion));
}

TEST(DefaultsSuite, SuitesLiveInTheGivenConfigurationHomeAndNowhereWithoutOne) {
    TemporaryConfigHome home;
    EXPECT_EQ(DefaultsSuite::containerDirectory(home.path(), kSuite), home.suiteFolder(kSuite));
    EXPECT_EQ(DefaultsSuite::containerDirectory(home.path() / "." / "", kSuite), home.suiteFolder(kSuite));
    // A relative home would depend on the working folder; no home at all names no folder.
    for (const std::optional<fs::path>& none : {std::optional<fs::path>(), std::optional<fs::path>("relative/config")}) {
        EXPECT_EQ(DefaultsSuite::containerDirectory(none, kSuite), std::nullopt);
        EXPECT_FALSE(DefaultsSuite::open(none, kSuite));
        auto suite = DefaultsSuite::openShared(none);
        ASSERT_TRUE(suite);
        EXPECT_FALSE(suite->isPersistent());
    }
    EXPECT_FALSE(fs::exists("relative"));
}

TEST(DefaultsSuite, GetSetRemoveAndListKeys) {
    TemporaryConfigHome home;
    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    EXPECT_FALSE(suite->get("missing"));
    EXPECT_TRUE(suite->set("b", "two"));
    EXPECT_TRUE(suite->set("a", 1));
    EXPECT_TRUE(suite->set("c", sampleValue()));
    EXPECT_TRUE(suite->set("b", 2.5));  // replaces, with another kind
    EXPECT_EQ(suite->keys(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(*suite->get("b"), DefaultsValue(2.5));
    EXPECT_EQ(*suite->get("c"), sampleValue());
    EXPECT_TRUE(suite->remove("a"));
    EXPECT_TRUE(suite->remove("a"));  // a missing key is not a failure
    EXPECT_FALSE(suite->get("a"));
    EXPECT_EQ(suite->dictionaryRepresentation().size(), 2u);

    // Keys are exact: no case folding, no trimming.
    EXPECT_TRUE(suite->set("Key", 1));
    EXPECT_FALSE(suite->get("key"));
    EXPECT_FALSE(suite->get("Key "));

    EXPECT_TRUE(suite->removePersistentDomain());
    EXPECT_TRUE(suite->keys().empty());
    auto again = DefaultsSuite::open(home.path(), kSuite);
    EXPECT_TRUE(again->keys().empty());
}

TEST(DefaultsSuite, SuitesAreSeparatedByName) {
    TemporaryConfigHome home;
    auto shared = DefaultsSuite::open(home.path(), kSuite);
    auto standard = DefaultsSuite::open(home.path(), DefaultsSuite::kStandardDomainName);
    ASSERT_TRUE(shared && standard);
    shared->set("k", "shared");
    EXPECT_FALSE(standard->get("k"));
    for (const char* bad : {"", ".", "..", "a/b", "../escape"}) {
        EXPECT_FALSE(DefaultsSuite::isValidSuiteName(bad)) << bad;
        EXPECT_FALSE(DefaultsSuite::open(home.path(), bad)) << bad;
    }
    EXPECT_FALSE(fs::exists(home.path().parent_path() / "escape"));
}

TEST(DefaultsSuite, TypedValuesRoundTripBetweenProcesses) {
    TemporaryConfigHome home;
    // A child writes; the parent reads.
    auto outcome = runInChild([&] {
        auto suite = DefaultsSuite::open(home.path(), kSuite);
        return suite && suite->set("fromChild", sampleValue()) ? "ok" : "failed";
    });
    ASSERT_EQ(outcome.output, "ok");
    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    EXPECT_EQ(*suite->get("fromChild"), sampleValue());

    // The parent writes (with its connection still open); a child reads.
    ASSERT_TRUE(suite->set("fromParent", DefaultsValue::Array{"txt", 5}));
    outcome = runInChild([&] {
        auto child = DefaultsSuite::open(home.path(), kSuite);
        if (!child) return std::string("no suite");
        auto v = child->get("fromParent");
        if (!v) return std::string("missing");
        return *v == DefaultsValue(DefaultsValue::Array{"txt", 5}) ? std::string("ok") : std::string("differs");
    });
    EXPECT_EQ(outcome.output, "ok");
}

TEST(DefaultsSuite, TellsOnceWhenAnotherConnectionChangedItButNotForItsOwnWrites) {
    TemporaryConfigHome home;
    auto app = DefaultsSuite::open(home.path(), kSuite);
    auto other = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(app && other);
    EXPECT_FALSE(app->changedElsewhere());  // opening another connection changed nothing

    // The application's own assignments, removals and reads are not changes made elsewhere.
    ASSERT_TRUE(app->set("mine", 1));
    ASSERT_TRUE(app->remove("mine"));
    ASSERT_TRUE(app->set("mine", 2));
    EXPECT_TRUE(app->get("mine"));
    EXPECT_FALSE(app->changedElsewhere());
    // ...but they are for the other connection, once.
    EXPECT_TRUE(other->changedElsewhere());
    EXPECT_FALSE(other->changedElsewhere());

    // Another connection of this process.
    ASSERT_TRUE(other->set("theirs", "x"));
    EXPECT_TRUE(app->changedElsewhere());
    EXPECT_FALSE(app->changedElsewhere());
    EXPECT_FALSE(other->changedElsewhere());

    // Another process, the way the command line writes while the application runs.
    auto outcome = runInChild([&] {
        auto child = DefaultsSuite::open(home.path(), kSuite);
        return child && child->set("fromChild", true) ? "ok" : "failed";
    });
    ASSERT_EQ(outcome.output, "ok");
    EXPECT_TRUE(app->changedElsewhere());
    EXPECT_FALSE(app->changedElsewhere());

    // A failed change (nothing committed) is no change either.
    std::string failure;
    auto reader = DefaultsSuite::openReadOnly(kSuite, home.suiteFolder(kSuite), failure);
    ASSERT_TRUE(reader) << failure;
    EXPECT_FALSE(reader->set("refused", 1));
    EXPECT_FALSE(app->changedElsewhere());
    // A read-only reader sees the application's changes the same way.
    ASSERT_TRUE(app->set("mine", 3));
    EXPECT_TRUE(reader->changedElsewhere());
    EXPECT_FALSE(reader->changedElsewhere());

    auto memory = DefaultsSuite::openInMemory(kSuite);
    ASSERT_TRUE(memory->set("k", 1));
    EXPECT_FALSE(memory->changedElsewhere());
}

TEST(DefaultsSuite, ReadersSeeOldOrNewValuesWhileAnotherProcessWrites) {
    TemporaryConfigHome home;
    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    ASSERT_TRUE(suite->set("k", DefaultsValue::Array{0, "first"}));
    auto sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(sink);

    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        ::close(fds[0]);
        auto own = DefaultsSuite::open(home.path(), kSuite);
        bool ok = own != nullptr;
        for (int i = 1; ok && i <= 600; ++i)
            ok = own->set("k", DefaultsValue::Array{i, std::string(static_cast<size_t>(i % 50) * 100, 'x')}) &&
                 (i % 50 != 0 || own->set("other" + std::to_string(i), i));
        ::close(fds[1]);
        ::_exit(ok ? 0 : 1);
    }
    ::close(fds[1]);
    int reads = 0, failures = 0;
    std::int64_t last = 0;
    bool backwards = false;
    // Read until the writer closes its end of the pipe.
    for (;;) {
        pollfd done{fds[0], POLLIN, 0};
        if (::poll(&done, 1, 0) > 0) break;
        auto v = suite->get("k");
        ++reads;
        if (!v || !v->array() || v->array()->size() != 2 || !(*v->array())[0].integer()) {
            ++failures;
            continue;
        }
        std::int64_t i = *(*v->array())[0].integer();
        if (i < last) backwards = true;
        last = i;
        suite->keys();
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(writer, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_GT(reads, 10);
    EXPECT_EQ(failures, 0);
    EXPECT_FALSE(backwards);
    EXPECT_EQ(*(*suite->get("k")->array())[0].integer(), 600);
    for (const auto& r : sink->records()) EXPECT_NE(r.level, LogLevel::Error) << r.message;
}

TEST(DefaultsSuite, ForeignBytesAreMovedAsideAndTheSuiteStartsEmpty) {
    TemporaryConfigHome home;
    const fs::path folder = home.suiteFolder(kSuite);
    const fs::path database = folder / "Defaults.sqlite";
    fs::create_directories(folder);
    std::string garbage;
    for (int i = 0; i < 300; ++i) garbage += "this is not a settings database ";
    writeFile(database, garbage);
    writeFile(database.string() + "-wal", "stale journal");
    auto sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(sink);

    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    EXPECT_TRUE(suite->keys().empty());
    EXPECT_TRUE(suite->set("after", true));
    EXPECT_EQ(*suite->get("after"), DefaultsValue(true));

    auto aside = asideFiles(folder);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_TRUE(std::regex_match(aside[0].filename().string(),
                                 std::regex(R"(Defaults\.sqlite\.invalid-\d{8}T\d{6}Z)")))
        << aside[0];
    EXPECT_EQ(readFile(aside[0]), garbage);
    EXPECT_TRUE(loggedError(*sink, "Moved the damaged settings database " + database.string() + " aside to " +
                                       aside[0].string()));
    EXPECT_EQ(mode(database), 0600u);
}

TEST(DefaultsSuite, ADatabaseHeaderOfAnUnsupportedFormatIsMovedAsideToo) {
    // A database header whose schema format SQLite does not support: it answers every
    // statement with a generic error rather than "not a database".
    TemporaryConfigHome home;
    const fs::path folder = home.suiteFolder(kSuite);
    const fs::path database = folder / "Defaults.sqlite";
    fs::create_directories(folder);
    // Page size 512, one page, schema format 5 (SQLite knows 1 to 4).
    std::string header("SQLite format 3\0\x02\x00\x01\x01\x00\x40\x20\x20", 24);
    header += std::string("\0\0\0\x01\0\0\0\x01", 8) + std::string(8, '\0') + std::string("\0\0\0\x01\0\0\0\x05", 8);
    header += std::string(52, '\0');
    writeFile(database, header);
    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    EXPECT_TRUE(suite->set("after", true));
    auto aside = asideFiles(folder);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(readFile(aside[0]), header);
    // SQLite will not read a file whose header asks for a newer reader; one whose header asks
    // only for a newer writer it reads, but then refuses every change. Both are moved aside.
    suite.reset();
    const std::string suiteBytes = readFile(database);
    ASSERT_GE(suiteBytes.size(), 100u);
    size_t moved = 1;
    for (const size_t versionByte : {19, 18}) {
        std::string newer = suiteBytes;
        newer[versionByte] = 3;
        writeFile(database, newer);
        suite = DefaultsSuite::open(home.path(), kSuite);
        ASSERT_TRUE(suite);
        EXPECT_TRUE(suite->set("after", true)) << "version byte " << versionByte;
        EXPECT_EQ(asideFiles(folder).size(), ++moved) << "version byte " << versionByte;
        suite.reset();
    }
    // The extension's reading leaves such a file alone and reports it.
    writeFile(database.string() + ".copy", header);
    std::string failure;
    fs::create_directories(folder / "copy");
    fs::rename(database.string() + ".copy", folder / "copy" / "Defaults.sqlite");
    EXPECT_FALSE(DefaultsSuite::openReadOnly(kSuite, folder / "copy", failure));
    EXPECT_FALSE(failure.empty());
    EXPECT_EQ(readFile(folder / "copy" / "Defaults.sqlite"), header);
}

TEST(DefaultsSuite, RowsOutOfKeyOrderAreDamageFoundOnOpening) {
    // A suite file whose rows are not in key order: reads by key would miss some of the keys a
    // listing shows. The application moves it aside; the extension refuses it.
    const std::string damaged =
        readFile(fs::path(QUILLET_SOURCE_DIR) / "fuzz/corpus/fuzz_defaults_database/rows_out_of_key_order");
    ASSERT_FALSE(damaged.empty());
    TemporaryConfigHome home;
    const fs::path folder = home.suiteFolder(kSuite);
    fs::create_directories(folder);
    writeFile(folder / "Defaults.sqlite", damaged);
    std::string failure;
    EXPECT_FALSE(DefaultsSuite::openReadOnly(kSuite, folder, failure));
    EXPECT_NE(failure.find("row not in PRIMARY KEY order"), std::string::npos) << failure;
    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    EXPECT_TRUE(suite->keys().empty());
    EXPECT_EQ(asideFiles(folder).size(), 1u);
}

TEST(DefaultsSuite, DatabasesOfAnotherShapeAreMovedAside) {
    TemporaryConfigHome home;
    const fs::path folder = home.suiteFolder(kSuite);
    const fs::path database = folder / "Defaults.sqlite";
    auto sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(sink);

    makeDatabase(database, "CREATE TABLE other (x); INSERT INTO other VALUES (1);");
    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    EXPECT_TRUE(suite->keys().empty());
    EXPECT_TRUE(loggedError(*sink, "tables of another kind"));
    suite.reset();

    // The right table under a schema version this program does not know.
    fs::remove(database);
    makeDatabase(database,
                 "CREATE TABLE defaults_values (key TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL) WITHOUT ROWID;"
                 "PRAGMA user_version = 9;");
    suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    EXPECT_TRUE(loggedError(*sink, "unknown schema version 9"));
    suite.reset();

    // Version 1 but a table of another shape.
    fs::remove(database);
    makeDatabase(database, "CREATE TABLE defaults_values (key TEXT, other INTEGER); PRAGMA user_version = 1;");
    suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    EXPECT_TRUE(suite->set("k", 1));
    EXPECT_TRUE(loggedError(*sink, "another shape"));
    // Three recoveries within moments of each other keep three distinct files.
    EXPECT_EQ(asideFiles(folder).size(), 3u);
}

TEST(DefaultsSuite, ADamagedPageIsFoundOnOpening) {
    TemporaryConfigHome home;
    const fs::path database = home.suiteFolder(kSuite) / "Defaults.sqlite";
    {
        auto suite = DefaultsSuite::open(home.path(), kSuite);
        ASSERT_TRUE(suite);
        for (int i = 0; i < 40; ++i) suite->set("key" + std::to_string(i), std::string(2000, 'v'));
    }
    std::string bytes = readFile(database);
    ASSERT_GT(bytes.size(), 3 * 4096u);
    for (size_t i = 4096; i < 3 * 4096; ++i) bytes[i] = static_cast<char>(0xA5);
    writeFile(database, bytes);
    auto sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(sink);
    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    EXPECT_TRUE(suite->keys().empty());
    EXPECT_TRUE(loggedError(*sink, "Moved the damaged settings database"));
}

TEST(DefaultsSuite, AnUndecodableValueReadsAsAbsent) {
    TemporaryConfigHome home;
    {
        auto suite = DefaultsSuite::open(home.path(), kSuite);
        ASSERT_TRUE(suite);
        suite->set("good", "fine");
    }
    const fs::path database = home.suiteFolder(kSuite) / "Defaults.sqlite";
    makeDatabase(database, "INSERT INTO defaults_values VALUES ('bad', x'01730500');"
                           "INSERT INTO defaults_values VALUES ('text', 'not a blob');"
                           "INSERT INTO defaults_values VALUES ('empty', x'');");
    auto sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(sink);
    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    EXPECT_FALSE(suite->get("bad"));
    EXPECT_FALSE(suite->get("text"));
    EXPECT_FALSE(suite->get("empty"));
    EXPECT_EQ(suite->keys(), std::vector<std::string>{"good"});
    EXPECT_EQ(*suite->get("good"), DefaultsValue("fine"));
    EXPECT_TRUE(loggedError(*sink, "Ignoring the undecodable value of bad in settings suite " + std::string(kSuite)));
    // The suite itself was sound: nothing was moved aside.
    EXPECT_TRUE(asideFiles(home.suiteFolder(kSuite)).empty());
    // Overwriting the damaged value repairs it.
    EXPECT_TRUE(suite->set("bad", 3));
    EXPECT_EQ(*suite->get("bad"), DefaultsValue(3));
}

TEST(DefaultsSuite, WhatCannotBeOpenedIsLeftAloneAndTheStandardDomainStandsIn) {
    TemporaryConfigHome home;
    auto sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(sink);
    // A file where the suite's folder should be.
    writeFile(home.suiteFolder(kSuite), "in the way");
    EXPECT_FALSE(DefaultsSuite::open(home.path(), kSuite));
    auto suite = DefaultsSuite::openShared(home.path());
    ASSERT_TRUE(suite);
    EXPECT_EQ(suite->name(), DefaultsSuite::kStandardDomainName);
    EXPECT_TRUE(suite->isPersistent());
    EXPECT_TRUE(loggedError(*sink, "Could not open the shared settings suite group.org.quillet.Quillet; using "
                                   "org.quillet.Quillet instead"));
    EXPECT_EQ(readFile(home.suiteFolder(kSuite)), "in the way");
    suite.reset();

    // With neither, settings still work for this run, and say so.
    writeFile(home.suiteFolder("x"), "");
    fs::remove_all(home.suiteFolder(DefaultsSuite::kStandardDomainName));
    writeFile(home.suiteFolder(DefaultsSuite::kStandardDomainName), "in the way too");
    suite = DefaultsSuite::openShared(home.path());
    ASSERT_TRUE(suite);
    EXPECT_FALSE(suite->isPersistent());
    EXPECT_TRUE(suite->set("k", DefaultsValue::Array{"txt", 5}));
    EXPECT_EQ(*suite->get("k"), DefaultsValue(DefaultsValue::Array{"txt", 5}));
    EXPECT_TRUE(loggedError(*sink, "settings last until Quillet+ quits"));
}

TEST(DefaultsSuite, ALinkInPlaceOfTheDatabaseIsNotFollowedOrMoved) {
    TemporaryConfigHome home;
    TemporaryFolder elsewhere;
    const fs::path target = elsewhere / "target";
    writeFile(target, "someone else's file");
    fs::create_directories(home.suiteFolder(kSuite));
    fs::create_symlink(target, home.suiteFolder(kSuite) / "Defaults.sqlite");
    EXPECT_FALSE(DefaultsSuite::open(home.path(), kSuite));
    EXPECT_TRUE(fs::is_symlink(home.suiteFolder(kSuite) / "Defaults.sqlite"));
    EXPECT_EQ(readFile(target), "someone else's file");
}

TEST(DefaultsSuite, AFailedWriteKeepsTheEarlierValueAndReportsIt) {
    TemporaryConfigHome home;
    {
        auto suite = DefaultsSuite::open(home.path(), kSuite);
        ASSERT_TRUE(suite);
        ASSERT_TRUE(suite->set("k", "before"));
        // Too deep to store.
        DefaultsValue deep = 1;
        for (size_t i = 0; i < kMaximumDefaultsValueDepth; ++i) deep = DefaultsValue::Array{deep};
        EXPECT_FALSE(suite->set("k", deep));
        EXPECT_THROW(suite->setOrThrow("k", deep), PlatformError);
        EXPECT_EQ(*suite->get("k"), DefaultsValue("before"));
    }
    // The file system refuses to grow the files (a full disk, a quota).
    auto outcome = runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        auto suite = DefaultsSuite::open(home.path(), kSuite);
        if (!suite) return std::string("no suite");
        rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        bool stored = suite->set("k", DefaultsValue::Data(1 << 20, 7));
        std::string reason;
        try {
            suite->setOrThrow("k", DefaultsValue::Data(1 << 20, 7));
        } catch (const PlatformError& e) {
            reason = e.description();
        }
        auto after = suite->get("k");
        return std::string(stored ? "stored" : "refused") + "|" + (after && after->string() ? *after->string() : "?") +
               "|" + reason;
    });
    EXPECT_TRUE(outcome.output.starts_with("refused|before|The setting k could not be saved: ")) << outcome.output;
    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    EXPECT_EQ(*suite->get("k"), DefaultsValue("before"));
}


TEST(DefaultsSuite, OnAFullDiskARefusedAssignmentKeepsTheOldValueAndEveryReturnedOneStays) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small disk";
    TemporaryConfigHome home;
    auto outcome = runInChild([&] {
        if (!mountSmallDisk(home.path(), 2 * 1024 * 1024)) return std::string("skip");
        auto sink = std::make_shared<MemoryLogSink>();
        ScopedLogSink scoped(sink);
        std::map<std::string, DefaultsValue> expected;
        auto store = [&](DefaultsSuite& suite, const std::string& key, DefaultsValue value) {
            if (!suite.set(key, value)) return false;
            expected.insert_or_assign(key, std::move(value));
            return true;
        };
        {
            auto suite = DefaultsSuite::open(home.path(), kSuite);
            if (!suite) return std::string("no suite on the empty disk");
            for (int k = 0; k < 3; ++k)
                if (!store(*suite, "k" + std::to_string(k), DefaultsValue::Data(60000, 0))) return std::string("no room at first");
        }
        {
            auto suite = DefaultsSuite::open(home.path(), kSuite);
            if (!suite) return std::string("no suite before the disk filled");
            leaveRoom(home.path() / "filler", 200 * 1024);
            // Replacing values of the same size needs no more room than the settings have, once
            // the log is emptied: none of them is refused, however often the log fills the disk.
            for (int i = 1; i <= 150; ++i) {
                const std::string key = "k" + std::to_string(i % 3);
                if (!store(*suite, key, DefaultsValue::Data(60000, static_cast<std::uint8_t>(i))))
                    return "replacement " + std::to_string(i) + " was refused";
                if (suite->get(key) != expected.at(key)) return "replacement " + std::to_string(i) + " reads otherwise";
            }
            // A value the disk cannot hold is refused, said and logged, and the old one stays.
            std::string reason;
            try {
                suite->setOrThrow("k1", DefaultsValue::Data(512 * 1024, 9));
            } catch (const PlatformError& e) {
                reason = e.description();
            }
            if (reason.find("The setting k1 could not be saved: ") != 0) return "refusal: " + reason;
            if (suite->set("k2", DefaultsValue::Data(512 * 1024, 9))) return std::string("too large a value was stored");
            if (!loggedError(*sink, "Could not save k2")) return std::string("the refusal was not logged");
            if (suite->get("k1") != expected.at("k1") || suite->get("k2") != expected.at("k2"))
                return std::string("a refused assignment changed the value");
        }
        // Opening again on the still full disk either works or leaves the file alone.
        if (auto suite = DefaultsSuite::open(home.path(), kSuite)) {
            for (const auto& [key, value] : expected)
                if (suite->get(key) != value) return key + " changed when reopened on the full disk";
        }
        if (!asideFiles(home.suiteFolder(kSuite)).empty()) return std::string("the suite was moved aside");
        // With room again, every returned assignment is there and the suite takes new ones.
        fs::remove(home.path() / "filler");
        auto suite = DefaultsSuite::open(home.path(), kSuite);
        if (!suite) return std::string("no suite once there was room again");
        for (const auto& [key, value] : expected)
            if (suite->get(key) != value) return key + " lost its value";
        if (!suite->set("k1", DefaultsValue::Data(512 * 1024, 2))) return std::string("no large value with room again");
        return std::string("ok");
    });
    if (outcome.output == "skip") GTEST_SKIP() << "cannot mount a small disk here";
    ASSERT_TRUE(outcome.exited) << "signal " << outcome.signal;
    EXPECT_EQ(outcome.output, "ok");
}

namespace {

// Runs the built command line with the configuration home in its environment, where the
// program reads it; its stdout, or nothing on failure.
std::optional<std::string> runQuillet(const fs::path& configHome, const std::string& arguments) {
    const fs::path quillet = fs::path(QUILLET_BINARY_DIR) / "bin" / "quillet";
    if (!fs::exists(quillet)) return std::nullopt;
    const std::string command =
        "XDG_CONFIG_HOME='" + configHome.string() + "' '" + quillet.string() + "' " + arguments + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    return ::pclose(pipe) == 0 ? std::optional(out) : std::nullopt;
}

}  // namespace

TEST(DefaultsSuite, TheCommandLineReadsAndWritesTheSameTypedValues) {
    if (!fs::exists(fs::path(QUILLET_BINARY_DIR) / "bin" / "quillet")) GTEST_SKIP() << "quillet not built";
    TemporaryConfigHome home;
    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    ASSERT_TRUE(suite->set("mixed", DefaultsValue::Array{"txt", 5, 5.0, -0.0, true, DefaultsValue::Data{0xab}}));
    EXPECT_EQ(runQuillet(home.path(), "defaults read mixed"),
              "[\n  \"txt\",\n  5,\n  5.0,\n  -0.0,\n  true,\n  {\n    \"$data\": \"ab\"\n  }\n]\n");

    ASSERT_TRUE(runQuillet(home.path(), "defaults write fromCommandLine -json '[\"txt\", 5, 0.1, {\"k\": [false]}]'"));
    ASSERT_TRUE(runQuillet(home.path(), "defaults write bytes -data 00ff"));
    EXPECT_EQ(*suite->get("fromCommandLine"),
              DefaultsValue(DefaultsValue::Array{"txt", 5, 0.1,
                                                 DefaultsValue::Dictionary{{"k", DefaultsValue::Array{false}}}}));
    EXPECT_EQ(*suite->get("bytes"), DefaultsValue(DefaultsValue::Data{0x00, 0xff}));
    ASSERT_TRUE(runQuillet(home.path(), "defaults delete bytes"));
    EXPECT_FALSE(suite->get("bytes"));
}

TEST(DefaultsSuite, ADatabaseThisUserMayNotOpenIsNotTakenForDamage) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    TemporaryConfigHome home;
    {
        auto suite = DefaultsSuite::open(home.path(), kSuite);
        ASSERT_TRUE(suite);
        ASSERT_TRUE(suite->set("k", "kept"));
    }
    // The folders let anyone in, but the database is the owner's alone.
    fs::permissions(home.path(), fs::perms::all);
    fs::permissions(home.suiteFolder(kSuite), fs::perms::all);
    auto outcome = runInChild([&] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) return std::string("could not become nobody");
        auto suite = DefaultsSuite::open(home.path(), kSuite);
        return std::string(suite ? "opened" : "refused");
    });
    EXPECT_EQ(outcome.output, "refused");
    EXPECT_TRUE(asideFiles(home.suiteFolder(kSuite)).empty());
    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    EXPECT_EQ(*suite->get("k"), DefaultsValue("kept"));
}

// --- Opened read-only, as the file-manager extension opens it ------------------------------------

namespace {

// Every entry of a folder with its bytes, to see that nothing was created, changed or moved.
std::map<std::string, std::string> contents(const fs::path& folder) {
    std::map<std::string, std::string> found;
    if (!fs::exists(folder)) return found;
    for (const auto& entry : fs::directory_iterator(folder))
        found[entry.path().filename().string()] = entry.is_regular_file() ? readFile(entry.path()) : "(other)";
    return found;
}

std::unique_ptr<DefaultsSuite> openReadOnly(const TemporaryConfigHome& home, std::string& failure) {
    return DefaultsSuite::openReadOnly(kSuite, home.suiteFolder(kSuite), failure);
}

}  // namespace

// While the suite rests (its database closed), every call opens it again, and changes made
// elsewhere before, during and after resting are each told once; its own are not.
TEST(DefaultsSuite, ARestingSuiteOpensAgainWhenUsedAndStillTellsChangesMadeElsewhere) {
    TemporaryConfigHome home;
    auto app = DefaultsSuite::open(home.path(), kSuite);
    auto other = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(app && other);
    ASSERT_TRUE(app->set("mine", 1));
    EXPECT_FALSE(app->changedElsewhere());

    app->rest();
    EXPECT_TRUE(app->isResting());
    EXPECT_FALSE(app->changedElsewhere());  // resting changed no file
    EXPECT_FALSE(app->changedElsewhere());
    EXPECT_TRUE(app->isResting());          // and looking did not open it
    EXPECT_EQ(*app->get("mine"), DefaultsValue(1));
    EXPECT_FALSE(app->isResting());

    // Written elsewhere while resting: told once, and the suite is open to be read.
    app->rest();
    ASSERT_TRUE(other->set("theirs", "x"));
    EXPECT_TRUE(app->changedElsewhere());
    EXPECT_FALSE(app->isResting());
    EXPECT_FALSE(app->changedElsewhere());

    // Its own writes after resting are not changes made elsewhere.
    app->rest();
    ASSERT_TRUE(app->set("mine", 2));
    ASSERT_TRUE(app->remove("theirs"));
    EXPECT_FALSE(app->changedElsewhere());

    // Written elsewhere before resting and not asked about yet: told after.
    ASSERT_TRUE(other->set("theirs", "y"));
    app->rest();
    EXPECT_TRUE(app->changedElsewhere());
    EXPECT_FALSE(app->changedElsewhere());

    // Written elsewhere while resting, then read before asking: still told, once.
    app->rest();
    auto outcome = runInChild([&] {
        auto child = DefaultsSuite::open(home.path(), kSuite);
        return child && child->set("fromChild", true) ? "ok" : "failed";
    });
    ASSERT_EQ(outcome.output, "ok");
    EXPECT_EQ(*app->get("fromChild"), DefaultsValue(true));
    EXPECT_TRUE(app->changedElsewhere());
    EXPECT_FALSE(app->changedElsewhere());

    // A reader rests and opens again read-only.
    std::string failure;
    auto reader = DefaultsSuite::openReadOnly(kSuite, home.suiteFolder(kSuite), failure);
    ASSERT_TRUE(reader) << failure;
    reader->rest();
    EXPECT_EQ(*reader->get("mine"), DefaultsValue(2));
    EXPECT_FALSE(reader->set("refused", 1));

    // A suite in memory has nowhere to open again from: it never rests.
    auto memory = DefaultsSuite::openInMemory(kSuite);
    ASSERT_TRUE(memory->set("k", 1));
    memory->rest();
    EXPECT_FALSE(memory->isResting());
    EXPECT_EQ(*memory->get("k"), DefaultsValue(1));
}

// A database gone while the suite rests: reads come back empty, a change is refused with a reason,
// nothing is created in its place, and the suite works again once the file is back.
TEST(DefaultsSuite, ARestingSuiteWhoseDatabaseWentAwayRefusesChangesAndRecovers) {
    TemporaryConfigHome home;
    auto app = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(app && app->set("k", 1));
    const fs::path database = app->databasePath();
    app->rest();
    const fs::path away = database.string() + ".away";
    fs::rename(database, away);

    EXPECT_FALSE(app->changedElsewhere());  // cannot tell, so no reload from nothing
    EXPECT_FALSE(app->get("k"));
    try {
        app->setOrThrow("k", 2);
        ADD_FAILURE() << "stored without a database";
    } catch (const DefaultsWriteError& e) {
        EXPECT_EQ(e.reason(), "The settings file cannot be written to.");
    }
    EXPECT_FALSE(fs::exists(database));

    fs::rename(away, database);
    EXPECT_EQ(*app->get("k"), DefaultsValue(1));
    EXPECT_TRUE(app->set("k", 3));
}

TEST(DefaultsSuiteReadOnly, ReadsWhatTheApplicationWritesAndSeesItsLaterChanges) {
    TemporaryConfigHome home;
    auto application = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(application);
    ASSERT_TRUE(application->set("k", sampleValue()));
    std::string failure;
    auto reader = openReadOnly(home, failure);
    ASSERT_TRUE(reader) << failure;
    EXPECT_EQ(reader->name(), kSuite);
    EXPECT_EQ(reader->databasePath(), home.suiteFolder(kSuite) / "Defaults.sqlite");
    EXPECT_TRUE(reader->isPersistent());
    EXPECT_EQ(*reader->get("k"), sampleValue());

    // Later changes reach the open reader, from this process and from another one.
    ASSERT_TRUE(application->set("k", "changed"));
    EXPECT_EQ(*reader->get("k"), DefaultsValue("changed"));
    auto outcome = runInChild([&] {
        auto own = DefaultsSuite::open(home.path(), kSuite);
        return own && own->set("fromChild", 7) && own->remove("k") ? "ok" : "failed";
    });
    ASSERT_EQ(outcome.output, "ok");
    EXPECT_EQ(reader->keys(), std::vector<std::string>{"fromChild"});
    EXPECT_EQ(*reader->get("fromChild"), DefaultsValue(7));
}

TEST(DefaultsSuiteReadOnly, EveryChangeIsRefusedAndTheValuesStay) {
    TemporaryConfigHome home;
    auto application = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(application);
    ASSERT_TRUE(application->set("k", "kept"));
    std::string failure;
    auto reader = openReadOnly(home, failure);
    ASSERT_TRUE(reader) << failure;
    auto sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(sink);

    EXPECT_FALSE(reader->set("k", "overwritten"));
    EXPECT_FALSE(reader->set("new", 1));
    EXPECT_FALSE(reader->remove("k"));
    EXPECT_FALSE(reader->removePersistentDomain());
    try {
        reader->setOrThrow("k", "overwritten");
        ADD_FAILURE() << "a read-only suite stored a value";
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.domain(), DefaultsSuite::kErrorDomain);
        EXPECT_TRUE(e.description().starts_with("The setting k could not be saved: ")) << e.description();
    }
    EXPECT_THROW(reader->removeOrThrow("k"), PlatformError);
    EXPECT_THROW(reader->removePersistentDomainOrThrow(), PlatformError);
    EXPECT_TRUE(loggedError(*sink, "Could not save new in settings suite " + std::string(kSuite)));

    EXPECT_EQ(application->keys(), std::vector<std::string>{"k"});
    EXPECT_EQ(*application->get("k"), DefaultsValue("kept"));
    EXPECT_EQ(*reader->get("k"), DefaultsValue("kept"));
    // The reader still reads after the refusals.
    ASSERT_TRUE(application->set("k", "later"));
    EXPECT_EQ(*reader->get("k"), DefaultsValue("later"));
}

TEST(DefaultsSuiteReadOnly, WhereThereIsNoSuiteNothingIsCreated) {
    TemporaryConfigHome home;
    auto sink = std::make_shared<MemoryLogSink>();
    ScopedLogSink scoped(sink);
    const fs::path folder = home.suiteFolder(kSuite);
    const fs::path database = folder / "Defaults.sqlite";

    // A fresh account: not even the folder.
    std::string failure;
    EXPECT_FALSE(openReadOnly(home, failure));
    EXPECT_NE(failure.find(database.string()), std::string::npos) << failure;
    EXPECT_NE(failure.find("No such file or directory"), std::string::npos) << failure;
    EXPECT_TRUE(fs::is_empty(home.path()));

    // The folder without a database.
    fs::create_directories(folder);
    failure.clear();
    EXPECT_FALSE(openReadOnly(home, failure));
    EXPECT_FALSE(failure.empty());
    EXPECT_TRUE(fs::is_empty(folder));

    // The empty file the application creates before it sets the suite up.
    writeFile(database, "");
    failure.clear();
    EXPECT_FALSE(openReadOnly(home, failure));
    EXPECT_NE(failure.find("not set the suite up yet"), std::string::npos) << failure;
    EXPECT_EQ(contents(folder), (std::map<std::string, std::string>{{"Defaults.sqlite", ""}}));
    // Saying why is the caller's business; the library logs nothing for it.
    EXPECT_TRUE(sink->records().empty());
}

TEST(DefaultsSuiteReadOnly, DamagedOrForeignDatabasesAreLeftExactlyAsTheyAre) {
    TemporaryConfigHome home;
    const fs::path folder = home.suiteFolder(kSuite);
    const fs::path database = folder / "Defaults.sqlite";
    auto refused = [&](const std::string& expectedReason) {
        const auto before = contents(folder);
        std::string failure;
        EXPECT_FALSE(openReadOnly(home, failure)) << expectedReason;
        EXPECT_NE(failure.find(expectedReason), std::string::npos) << failure;
        EXPECT_EQ(contents(folder), before) << expectedReason;
    };

    fs::create_directories(folder);
    std::string garbage;
    for (int i = 0; i < 300; ++i) garbage += "this is not a settings database ";
    writeFile(database, garbage);
    refused("file is not a database");
    // A stale log beside it: SQLite would open it first and index it in a new -shm file.
    writeFile(database.string() + "-wal", "stale journal");
    refused("write-ahead log has no index");
    fs::remove(database.string() + "-wal");

    fs::remove(database);
    makeDatabase(database, "CREATE TABLE other (x); INSERT INTO other VALUES (1);");
    refused("tables of another kind");
    fs::remove(database);
    makeDatabase(database,
                 "CREATE TABLE defaults_values (key TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL) WITHOUT ROWID;"
                 "PRAGMA user_version = 9;");
    refused("unknown schema version 9");
    fs::remove(database);
    makeDatabase(database, "CREATE TABLE defaults_values (key TEXT, other INTEGER); PRAGMA user_version = 1;");
    refused("another shape");

    // A damaged page, in a suite the application wrote and closed.
    fs::remove(database);
    {
        auto suite = DefaultsSuite::open(home.path(), kSuite);
        ASSERT_TRUE(suite);
        for (int i = 0; i < 40; ++i) suite->set("key" + std::to_string(i), std::string(2000, 'v'));
    }
    std::string bytes = readFile(database);
    ASSERT_GT(bytes.size(), 3 * 4096u);
    for (size_t i = 4096; i < 3 * 4096; ++i) bytes[i] = static_cast<char>(0xA5);
    writeFile(database, bytes);
    const std::string damaged = readFile(database);
    std::string failure;
    EXPECT_FALSE(openReadOnly(home, failure));
    EXPECT_EQ(readFile(database), damaged);
    EXPECT_TRUE(asideFiles(folder).empty());

    // A link in place of the database is not followed.
    TemporaryFolder elsewhere;
    writeFile(elsewhere / "target", "someone else's file");
    fs::remove(database);
    fs::create_symlink(elsewhere / "target", database);
    refused("");
    EXPECT_TRUE(fs::is_symlink(database));
    EXPECT_EQ(readFile(elsewhere / "target"), "someone else's file");
}

// What SQLite itself needs to read a suite in WAL mode that no one has open: its -wal and -shm
// files, created private like the database and removed by the application's next close. The
// database itself is not written.
TEST(DefaultsSuiteReadOnly, AClosedSuiteGetsOnlySQLitesCoordinationFiles) {
    TemporaryConfigHome home;
    const fs::path database = home.suiteFolder(kSuite) / "Defaults.sqlite";
    {
        auto application = DefaultsSuite::open(home.path(), kSuite);
        ASSERT_TRUE(application);
        ASSERT_TRUE(application->set("k", "v"));
    }
    ASSERT_EQ(contents(home.suiteFolder(kSuite)).count("Defaults.sqlite-wal"), 0u);
    const std::string bytes = readFile(database);
    {
        std::string failure;
        auto reader = openReadOnly(home, failure);
        ASSERT_TRUE(reader) << failure;
        EXPECT_EQ(*reader->get("k"), DefaultsValue("v"));
        EXPECT_EQ(readFile(database.string() + "-wal"), "");
        EXPECT_EQ(mode(database.string() + "-wal"), 0600u);
        EXPECT_EQ(mode(database.string() + "-shm"), 0600u);
    }
    EXPECT_EQ(readFile(database), bytes);
    {
        auto application = DefaultsSuite::open(home.path(), kSuite);
        ASSERT_TRUE(application);
        EXPECT_EQ(*application->get("k"), DefaultsValue("v"));
    }
    EXPECT_EQ(contents(home.suiteFolder(kSuite)),
              (std::map<std::string, std::string>{{"Defaults.sqlite", bytes}, {"Defaults.sqlite.lock", ""}}));
}

namespace {

// A suite whose schema asks SQLite for some 1.5 MB to load, where a settings file needs a few
// hundred kilobytes: one of the fuzz seeds.
const fs::path kMemoryHungrySuite = QUILLET_SOURCE_DIR "/fuzz/corpus/fuzz_defaults_database/schema_needing_much_memory";

}  // namespace

// SQLite reports "out of memory" while opening: once more, and if that fails too, the file is
// damaged when an empty suite still opens (it asks for more than a settings file can), but left
// alone when memory is short for everything.
TEST(DefaultsSuite, OutOfMemoryWhileOpeningIsToldApartFromMemoryShortForEverything) {
    TemporaryConfigHome home;
    const std::string crafted = readFile(kMemoryHungrySuite);
    ASSERT_FALSE(crafted.empty());
    const fs::path database = home.suiteFolder(kSuite) / "Defaults.sqlite";
    fs::create_directories(database.parent_path());

    // The crafted file under a heap limit an empty suite fits in.
    writeFile(database, crafted);
    auto outcome = runInChild([&] {
        auto sink = std::make_shared<MemoryLogSink>();
        ScopedLogSink scoped(sink);
        sqlite3_hard_heap_limit64(sqlite3_memory_used() + 600 * 1024);
        auto suite = DefaultsSuite::open(home.path(), kSuite);
        if (!suite) return std::string("no suite");
        if (!suite->set("k", "fresh") || suite->get("k") != DefaultsValue("fresh")) return std::string("unusable");
        if (!loggedError(*sink, "Ran out of memory opening settings suite " + std::string(kSuite))) return std::string("no retry");
        if (!loggedError(*sink, "twice, although an empty suite opens")) return std::string("not said why");
        return std::string("ok");
    });
    EXPECT_EQ(outcome.output, "ok");
    auto aside = asideFiles(home.suiteFolder(kSuite));
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(readFile(aside.front()), crafted);

    // A good suite while memory is short for everything: left where it is, untouched.
    fs::remove_all(database.parent_path());
    {
        auto suite = DefaultsSuite::open(home.path(), kSuite);
        ASSERT_TRUE(suite);
        ASSERT_TRUE(suite->set("k", "kept"));
    }
    const std::string good = readFile(database);
    outcome = runInChild([&] {
        sqlite3_hard_heap_limit64(sqlite3_memory_used() + 16 * 1024);
        return std::string(DefaultsSuite::open(home.path(), kSuite) ? "opened" : "refused");
    });
    EXPECT_EQ(outcome.output, "refused");
    EXPECT_EQ(readFile(database), good);
    EXPECT_TRUE(asideFiles(home.suiteFolder(kSuite)).empty());
    auto suite = DefaultsSuite::open(home.path(), kSuite);
    ASSERT_TRUE(suite);
    EXPECT_EQ(*suite->get("k"), DefaultsValue("kept"));
}

// Another program holds the write lock: the suite still opens (the same file, not a fallback
// domain) and reads at once, and a write that cannot wait says it was locked out.
TEST(DefaultsSuite, ASuiteLockedByAnotherProgramStillOpensAndReads) {
    TemporaryConfigHome home;
    {
        auto suite = DefaultsSuite::open(home.path(), kSuite);
        ASSERT_TRUE(suite);
        ASSERT_TRUE(suite->set("k", "before"));
    }
    SettingsLockHolder holder(home.suiteFolder(kSuite) / "Defaults.sqlite", 30);
    ASSERT_TRUE(holder.isLocked());
    const auto started = std::chrono::steady_clock::now();
    auto suite = DefaultsSuite::openShared(home.path());
    ASSERT_TRUE(suite);
    EXPECT_EQ(suite->name(), kSuite);
    EXPECT_EQ(*suite->get("k"), DefaultsValue("before"));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    try {
        suite->setOrThrow("k", "after", std::chrono::milliseconds(0));
        ADD_FAILURE() << "written through another program's lock";
    } catch (const DefaultsWriteError& e) {
        EXPECT_TRUE(e.isLocked());
        EXPECT_EQ(e.reason(), "Another program kept the settings locked.");
    }
    holder.release();
    EXPECT_TRUE(suite->set("k", "after"));
    EXPECT_EQ(*suite->get("k"), DefaultsValue("after"));
}
