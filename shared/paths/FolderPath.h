#pragma once

#include <compare>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace quillet {

// A folder files are created in: an absolute path in standard form (see standardizedPath). A
// folder is put in this form once, where a request enters (the create request, the command
// line, the Desktop or the file manager's folder a destination resolves to); the grant lookup,
// the access prompt and the writer take it as it is, so the folder checked against the grants
// is the folder written to without being worked out again on the way.
//
// Copies share one unchangeable path: handing a folder along costs no allocation. Moving
// copies too, so no folder is ever left empty.
class FolderPath {
public:
    // `path` standardized; nothing when it is not absolute (an empty path included). A relative
    // path names a different folder from every working folder, so each entry says what one
    // means before it comes here: a create request refuses it, the command line takes it from
    // the working folder, a file manager window that names one counts as naming none, and a
    // grant stored under one is skipped.
    static std::optional<FolderPath> fromAbsolute(const std::filesystem::path& path);
    // "/".
    static FolderPath root();

    FolderPath(const FolderPath&) = default;
    FolderPath& operator=(const FolderPath&) = default;

    // The folder `relative` leads to from this one, standardized; ".." stops at the root, so
    // the result is absolute whatever `relative` holds.
    FolderPath appending(const std::filesystem::path& relative) const;

    const std::filesystem::path& path() const { return *path_; }
    const std::string& string() const { return path_->native(); }
    // The last segment; "/" for the root.
    std::string name() const;

    // Byte for byte, as Linux tells names apart: forms that differ in Unicode normalisation
    // are different folders.
    friend bool operator==(const FolderPath& a, const FolderPath& b) { return a.string() == b.string(); }
    friend std::strong_ordering operator<=>(const FolderPath& a, const FolderPath& b) {
        return a.string() <=> b.string();
    }

private:
    explicit FolderPath(std::filesystem::path standardized);

    std::shared_ptr<const std::filesystem::path> path_;
};

}  // namespace quillet
