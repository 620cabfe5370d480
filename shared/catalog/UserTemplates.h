#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/catalog/FileTypeDefinition.h"

// The user's own templates: every file of the Templates folder is a file type of the category
// "Templates", offered after the built-in ones. Its id is "template:" and the file's path
// relative to the folder ("template:Letter.odt", "template:Work/Invoice.ods"), so the settings,
// shortcuts, requests and the command line name it like any other type.
//
// Nothing outside the folder is ever a template: an id is taken apart by its words, never
// handed to the file system as a path, and a file is opened beneath the folder's own descriptor
// so that no link on the way leads out of it.
namespace quillet {

inline constexpr std::string_view kTemplateIDPrefix = "template:";
// How many levels of subfolders are looked into: Templates/Work/2024/Invoice.ods is one, deeper
// ones are not offered. Each subfolder is a group (a submenu, a section of the panel).
inline constexpr size_t kTemplateSubfolderDepth = 2;
// A folder holding more is not a Templates folder anyone picks from a menu; the rest is left out.
inline constexpr size_t kMaximumTemplates = 500;
// The symbol a template shows where its MIME type's icon cannot be found.
inline constexpr const char* kTemplateSymbolName = "doc.text";

bool isTemplateTypeID(std::string_view id);

// The path relative to the Templates folder that a template id names, when it is one a scan
// could have found: "template:" then one to three components (at most kTemplateSubfolderDepth
// folders), none empty, ".", "..", hidden (".name") or a backup ("name~"), no NUL, no leading
// "/". Nothing for any other id.
std::optional<std::string> templateRelativePath(std::string_view id);

// The type a template id stands for, from the id alone (the file is not looked at): display name
// the file name without its extension, extension the file's (empty when it has none). Nothing
// for an id templateRelativePath refuses.
std::optional<FileTypeDefinition> templateTypeFromID(std::string_view id);

// The subfolder a template lies in, relative to the Templates folder ("" for the folder itself,
// "Work", "Work/2024"); empty for a type that is no template.
std::string templateGroup(const FileTypeDefinition& type);

// The name a new file from the template gets before numbering: "Letter.odt", "Makefile".
std::string templateFileName(const FileTypeDefinition& type);

// The Templates folder of one user. Reads it, never writes there.
class UserTemplates {
public:
    // No folder: the user has none, and there are no templates.
    explicit UserTemplates(std::optional<std::filesystem::path> folder = std::nullopt);

    const std::optional<std::filesystem::path>& folder() const { return folder_; }

    // Every template in the folder, in one pass over it and its subfolders: the folder's own
    // files in the order a file manager lists them, then each subfolder's, in the same order.
    // Regular files count, and links to regular files that stay inside the folder; hidden files,
    // backups ("name~"), FIFOs, sockets and devices never do (none of them is opened). Empty when
    // the folder is missing or unreadable. `folders`, when given, receives the folder and every
    // subfolder looked into: what a watcher of the templates watches.
    std::vector<FileTypeDefinition> discover(std::vector<std::filesystem::path>* folders = nullptr) const;

    // The template an id names, when that file is there now and is a template by the rules of
    // discover; nothing otherwise (an unknown type to every caller).
    std::optional<FileTypeDefinition> type(std::string_view id) const;

    // The template's file opened for reading (close-on-exec), or -1 with errno set: ENOENT for
    // an id that names no template, EXDEV for a path leading out of the folder, EINVAL for
    // something that is not a regular file. Never blocks on a FIFO.
    int open(std::string_view id) const;

private:
    std::optional<std::filesystem::path> folder_;
};

// The ids of types, in their order: what the settings' load rules take from a scan.
std::vector<std::string> typeIDs(const std::vector<FileTypeDefinition>& types);

// The type a request, a command or a shortcut names by id: a built-in type, or a template that
// is in the folder now. Nothing for any other id, a hostile one included.
std::optional<FileTypeDefinition> creatableFileType(const std::string& id, const UserTemplates& templates);

}  // namespace quillet
