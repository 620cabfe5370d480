#include "shared/catalog/FileTypeCatalog.h"

#include "shared/catalog/UserTemplates.h"
#include "shared/text/Translation.h"

namespace quillet {

const std::vector<FileTypeDefinition>& allTypes() {
    using C = FileTypeCategory;
    static const std::vector<FileTypeDefinition> table{
        {"txt", N_("Text"), "txt", C::plainText, "doc.text"},
        {"md", "Markdown", "md", C::plainText, "doc.richtext"},
        {"rtf", N_("Rich Text"), "rtf", C::plainText, "doc.richtext.fill"},
        {"csv", "CSV", "csv", C::plainText, "tablecells"},
        {"json", "JSON", "json", C::code, "curlybraces"},
        {"yaml", "YAML", "yaml", C::code, "list.bullet.indent"},
        {"xml", "XML", "xml", C::code, "chevron.left.forwardslash.chevron.right"},
        {"html", "HTML", "html", C::code, "globe"},
        {"css", "CSS", "css", C::code, "paintbrush"},
        {"js", "JavaScript", "js", C::code, "scroll"},
        {"sh", N_("Shell Script"), "sh", C::code, "terminal"},
        {"py", "Python", "py", C::code, "chevron.left.forwardslash.chevron.right"},
        {"swift", "Swift", "swift", C::code, "swift"},
        {"docx", N_("Word Document"), "docx", C::office, "doc.fill"},
        {"xlsx", N_("Excel Spreadsheet"), "xlsx", C::office, "tablecells.fill"},
        {"pptx", N_("PowerPoint Presentation"), "pptx", C::office, "rectangle.on.rectangle"},
    };
    return table;
}

const std::unordered_map<std::string, FileTypeDefinition>& typesByID() {
    static const auto map = [] {
        std::unordered_map<std::string, FileTypeDefinition> m;
        for (const auto& type : allTypes()) m.emplace(type.id, type);
        return m;
    }();
    return map;
}

const std::set<std::string>& allIDs() {
    static const auto ids = [] {
        std::set<std::string> s;
        for (const auto& type : allTypes()) s.insert(type.id);
        return s;
    }();
    return ids;
}

const std::vector<std::string>& defaultOrder() {
    static const auto order = [] {
        std::vector<std::string> v;
        for (const auto& type : allTypes()) v.push_back(type.id);
        return v;
    }();
    return order;
}

const FileTypeDefinition* fileType(const std::string& id) {
    const auto& map = typesByID();
    auto it = map.find(id);
    return it == map.end() ? nullptr : &it->second;
}

std::optional<FileTypeDefinition> fileTypeForID(const std::string& id) {
    if (const auto* type = fileType(id)) return *type;
    return templateTypeFromID(id);
}

std::vector<FileTypeDefinition> orderedFileTypes(const std::vector<std::string>& fileTypeOrder) {
    std::vector<FileTypeDefinition> result;
    result.reserve(fileTypeOrder.size());
    for (const auto& id : fileTypeOrder)
        if (auto type = fileTypeForID(id)) result.push_back(std::move(*type));
    return result;
}

std::vector<FileTypeDefinition> enabledFileTypesInOrder(
    const std::vector<std::string>& fileTypeOrder, const std::set<std::string>& enabledFileTypeIDs) {
    std::vector<FileTypeDefinition> result;
    for (auto& type : orderedFileTypes(fileTypeOrder))
        if (enabledFileTypeIDs.count(type.id)) result.push_back(std::move(type));
    return result;
}

}  // namespace quillet
