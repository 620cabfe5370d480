#include "app/creation/FileCreationService.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "shared/catalog/UserTemplates.h"

namespace quillet {

namespace {

// Numbers of the sequence looked at one by one before the folder is read: a folder rarely
// holds more than a few untitled files of one type, and looking at a name costs less than
// reading a large folder.
constexpr unsigned long long kNamesLookedAtFirst = 4;

// Number 1 stands for the plain name: "base.ext", then "base 2.ext", "base 3.ext", ...
// A template without an extension ("Makefile") numbers the bare name: "Makefile 2".
std::string nameNumbered(const std::string& baseName, unsigned long long n, const std::string& fileExtension) {
    const std::string suffix = fileExtension.empty() ? std::string() : "." + fileExtension;
    if (n == 1) return baseName + suffix;
    return baseName + " " + std::to_string(n) + suffix;
}

// n of a name "base n.ext" with n ≥ 2, written as nameNumbered writes it.
std::optional<unsigned long long> numberOf(std::string_view name, const std::string& baseName,
                                           const std::string& fileExtension) {
    const size_t suffix = fileExtension.empty() ? 0 : fileExtension.size() + 1;
    if (name.size() <= baseName.size() + 1 + suffix || !name.starts_with(baseName) || name[baseName.size()] != ' ' ||
        !name.ends_with(fileExtension) || (suffix > 0 && name[name.size() - suffix] != '.'))
        return std::nullopt;
    const std::string_view digits = name.substr(baseName.size() + 1, name.size() - baseName.size() - 1 - suffix);
    if (digits.empty() || digits.size() > 18 || digits[0] == '0') return std::nullopt;
    unsigned long long n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<unsigned long long>(c - '0');
    }
    if (n < 2) return std::nullopt;
    return n;
}

// The first number from `n` on whose name nothing holds.
unsigned long long firstFreeNumber(const std::filesystem::path& folder, const std::string& baseName,
                                   const std::string& fileExtension, const NewFileWriter& fileWriter,
                                   unsigned long long n) {
    auto free = [&](unsigned long long number) {
        return !fileWriter.fileExists(folder / nameNumbered(baseName, number, fileExtension));
    };
    for (const unsigned long long last = n + kNamesLookedAtFirst; n < last; ++n)
        if (free(n)) return n;

    // Many are taken: one read of the folder says which. Names already looked at showed that
    // the folder can be searched, so what it lists does exist. The number chosen is still
    // looked at, so a name the listing does not show the same way (another spelling of it on a
    // case-insensitive file system, or one made since) is passed over as before.
    std::vector<unsigned long long> taken;
    if (auto names = fileWriter.existingNames(folder, [&](std::string_view name) {
            return numberOf(name, baseName, fileExtension).has_value();
        })) {
        for (const auto& name : *names) taken.push_back(*numberOf(name, baseName, fileExtension));
        std::sort(taken.begin(), taken.end());
    }
    auto next = std::lower_bound(taken.begin(), taken.end(), n);
    for (;; ++n) {
        while (next != taken.end() && *next < n) ++next;
        if (next != taken.end() && *next == n) continue;
        if (free(n)) return n;
    }
}

}  // namespace

std::filesystem::path uniqueFileURL(const std::filesystem::path& folder, const std::string& baseName,
                                    const std::string& fileExtension, const NewFileWriter& fileWriter) {
    return folder / nameNumbered(baseName, firstFreeNumber(folder, baseName, fileExtension, fileWriter, 1),
                                 fileExtension);
}

std::string templateText(const FileTypeDefinition& type) {
    if (type.id == "rtf") return "{\\rtf1\\ansi\\deff0\n}\n";
    if (type.id == "json") return "{}\n";
    if (type.id == "xml") return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n</root>\n";
    if (type.id == "html")
        return "<!doctype html>\n"
               "<html lang=\"en\">\n"
               "<head>\n"
               "  <meta charset=\"utf-8\">\n"
               "  <title>Untitled</title>\n"
               "</head>\n"
               "<body>\n"
               "</body>\n"
               "</html>\n";
    return {};
}

std::filesystem::path createFile(const FileTypeDefinition& type, const FolderPath& folder,
                                 const NewFileWriter& fileWriter) {
    const std::filesystem::path& directory = folder.path();
    const std::string& extension = type.fileExtension;
    // A template's file is named after the template ("Letter.odt", "Letter 2.odt").
    const bool fromTemplate = type.category == FileTypeCategory::templates;
    const std::string baseName = fromTemplate ? type.displayName : kNewFileBaseName;
    // The plain name is taken without a look first: making the file there (the link, or the
    // exclusive open) tells whether it is free, and only a taken one sends the search on.
    unsigned long long number = 1;
    const std::filesystem::path target = directory / nameNumbered(baseName, number, extension);
    ScopedFolderAccess access(fileWriter.scopedAccess(), directory);

    // Opened before anything is created: a template that cannot be read creates nothing.
    int templateFile = -1;
    std::filesystem::path templatePath;
    if (fromTemplate) {
        templateFile = fileWriter.templates().open(type.id);
        const int e = errno;
        templatePath = fileWriter.templates().folder().value_or("") / templateRelativePath(type.id).value_or("");
        if (templateFile < 0)
            throw FileCreationError::writeFailed(
                PlatformError::posix(e, "Could not read \u201C" + templatePath.string() + "\u201D"));
    }

    const std::string* bundled = nullptr;
    if (type.category == FileTypeCategory::office) {
        try {
            bundled = fileWriter.bundledBytes(kTemplateResourceName, extension);
        } catch (const PlatformError& error) {
            throw FileCreationError::writeFailed(error);
        }
        if (!bundled)
            throw FileCreationError::templateMissing(std::string(kTemplateResourceName) + "." + extension);
    }

    // Another creator took the name between the look and the link: the next free one after it.
    // Something the numbering counts as absent (a link leading nowhere) is not passed over: the
    // name is the one the rule gives, and it is never replaced, so the creation fails.
    unsigned attempts = 1;
    const NewFileWriter::NextName nextName =
        [&](const std::filesystem::path& taken) -> std::optional<std::filesystem::path> {
        if (attempts >= kNewFileNameAttempts || !fileWriter.fileExists(taken)) return std::nullopt;
        ++attempts;
        number = firstFreeNumber(directory, baseName, extension, fileWriter, number + 1);
        return directory / nameNumbered(baseName, number, extension);
    };
    try {
        if (fromTemplate) return fileWriter.copyOpenFileToNewFile(templateFile, templatePath, target, nextName);
        return fileWriter.writeNewFile(bundled ? *bundled : templateText(type), target, nextName);
    } catch (const PlatformError& error) {
        throw FileCreationError::writeFailed(error);
    }
}

}  // namespace quillet
