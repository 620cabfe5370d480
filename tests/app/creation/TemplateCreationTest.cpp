#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <exception>
#include <thread>

#include "app/creation/FileCreationError.h"
#include "app/creation/FileCreationService.h"
#include "shared/catalog/UserTemplates.h"
#include "tests/support/FolderPaths.h"
#include "tests/support/NewFileWriterFixture.h"
#include "tests/support/TemporaryFolder.h"

using namespace quillet;
using namespace quillet::test;
namespace fs = std::filesystem;

namespace {

struct TemplateCreation : ::testing::Test {
    TemporaryFolder home;
    TemporaryFolder target;
    fs::path templates = home / "Templates";
    NewFileWriterFixture files;

    void SetUp() override {
        fs::create_directories(templates);
        files.fileWriter.setTemplates(UserTemplates(templates));
    }
    FileTypeDefinition type(const std::string& id) {
        auto found = creatableFileType(id, files.fileWriter.templates());
        if (!found) throw std::runtime_error("no template " + id);
        return *found;
    }
    fs::path create(const std::string& id) { return createFile(type(id), folderPath(target.path()), files.fileWriter); }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(target.path())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Runs the work on a thread of its own, as the application's does, and counts the runs.
struct ThreadedLongWork final : LongWork {
    int runs = 0;
    void run(const std::function<void()>& work) override {
        ++runs;
        std::exception_ptr failure;
        std::thread worker([&] {
            try {
                work();
            } catch (...) {
                failure = std::current_exception();
            }
        });
        worker.join();
        if (failure) std::rethrow_exception(failure);
    }
};

mode_t permissions(const fs::path& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

}  // namespace

TEST_F(TemplateCreation, NamesFollowTheTemplateAndTheUntitledNumbering) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    writeFile(templates / "Letter.odt", bytes);
    writeFile(target / "Letter 3.odt", "someone else's");

    EXPECT_EQ(create("template:Letter.odt"), target / "Letter.odt");
    EXPECT_EQ(create("template:Letter.odt"), target / "Letter 2.odt");
    EXPECT_EQ(create("template:Letter.odt"), target / "Letter 4.odt");
    EXPECT_EQ(readFile(target / "Letter.odt"), bytes);
    EXPECT_EQ(readFile(target / "Letter 4.odt"), bytes);
    EXPECT_EQ(readFile(target / "Letter 3.odt"), "someone else's");

    // A name without an extension numbers the bare name; a subfolder's template lands flat.
    writeFile(templates / "Makefile", "all:\n");
    fs::create_directories(templates / "Work");
    writeFile(templates / "Work" / "Invoice.ods", "");
    EXPECT_EQ(create("template:Makefile"), target / "Makefile");
    EXPECT_EQ(create("template:Makefile"), target / "Makefile 2");
    EXPECT_EQ(create("template:Work/Invoice.ods"), target / "Invoice.ods");
    EXPECT_EQ(readFile(target / "Invoice.ods"), "");
}

TEST_F(TemplateCreation, KeepsExecutableBitsAndTheUsualModeOtherwise) {
    writeFile(templates / "build.sh", "#!/bin/sh\n");
    ::chmod((templates / "build.sh").c_str(), 0750);
    writeFile(templates / "empty-tool", "");
    ::chmod((templates / "empty-tool").c_str(), 0700);
    writeFile(templates / "notes.txt", "n");
    ::chmod((templates / "notes.txt").c_str(), 0600);

    const mode_t mask = ::umask(022);
    const fs::path script = create("template:build.sh");
    const fs::path tool = create("template:empty-tool");
    const fs::path notes = create("template:notes.txt");
    ::umask(mask);
    // The usual mode of a new file, plus the template's own executable bits (where the new
    // file may be read): never more than either gives.
    EXPECT_EQ(permissions(script), 0754u);
    EXPECT_EQ(permissions(tool), 0744u);
    EXPECT_EQ(permissions(notes), 0644u);
    EXPECT_EQ(readFile(script), "#!/bin/sh\n");
}

TEST_F(TemplateCreation, LargeTemplateIsCopiedExactlyInChunks) {
    // 24 MiB of varying bytes: more than any buffer, so a wrong offset would show.
    std::string block(1 << 20, '\0');
    {
        const fs::path big = templates / "Big.bin";
        FILE* out = std::fopen(big.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        for (int i = 0; i < 24; ++i) {
            for (size_t j = 0; j < block.size(); ++j) block[j] = static_cast<char>((j * 7 + i) & 0xff);
            std::fwrite(block.data(), 1, block.size(), out);
        }
        std::fclose(out);
    }
    ThreadedLongWork longWork;
    files.fileWriter.setLongWork(&longWork);
    const fs::path created = create("template:Big.bin");
    EXPECT_EQ(fs::file_size(created), 24u << 20);
    EXPECT_EQ(readFile(created), readFile(templates / "Big.bin"));
    // Only a copy that takes a while leaves the caller's thread.
    EXPECT_EQ(longWork.runs, 1);
    writeFile(templates / "Small.txt", "small");
    EXPECT_EQ(readFile(create("template:Small.txt")), "small");
    EXPECT_EQ(longWork.runs, 1);
    // A failure on the other thread is the caller's, with nothing left behind.
    EXPECT_THROW(createFile(type("template:Big.bin"), folderPath(target / "Gone"), files.fileWriter),
                 FileCreationError);
    EXPECT_EQ(longWork.runs, 2);
    EXPECT_EQ(entries(), (std::vector<std::string>{"Big.bin", "Small.txt"}));
}

TEST_F(TemplateCreation, AVanishedOrSwappedTemplateCreatesNothing) {
    writeFile(templates / "Letter.odt", "letter");
    const FileTypeDefinition letter = type("template:Letter.odt");
    fs::remove(templates / "Letter.odt");
    EXPECT_THROW(createFile(letter, folderPath(target.path()), files.fileWriter), FileCreationError);

    // Put back as a link leading out of the folder: refused, nothing read, nothing made.
    TemporaryFolder outside;
    writeFile(outside / "secret", "secret");
    fs::create_symlink(outside / "secret", templates / "Letter.odt");
    try {
        createFile(letter, folderPath(target.path()), files.fileWriter);
        ADD_FAILURE() << "created from a link leading out";
    } catch (const FileCreationError& error) {
        EXPECT_NE(error.description().find("Letter.odt"), std::string::npos) << error.description();
    }
    ASSERT_EQ(::mkfifo((templates / "Pipe.txt").c_str(), 0600), 0);
    const auto pipe = templateTypeFromID("template:Pipe.txt");
    EXPECT_THROW(createFile(*pipe, folderPath(target.path()), files.fileWriter), FileCreationError);
    EXPECT_TRUE(entries().empty());
}
