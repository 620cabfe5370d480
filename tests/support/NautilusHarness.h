#pragma once

#include <nautilus-extension.h>

#include <string>
#include <vector>

// Stand-ins for the two things Nautilus gives its modules: the type module a module registers its
// types with, and the file-info objects its menu providers are asked about.
namespace quillet::test {

// Loads a Nautilus module as Nautilus does: a GTypeModule whose load opens the library and
// calls nautilus_module_initialize, then nautilus_module_list_types and one object per type.
class NautilusModuleLoader {
public:
    explicit NautilusModuleLoader(const std::string& path);
    ~NautilusModuleLoader();
    NautilusModuleLoader(const NautilusModuleLoader&) = delete;
    NautilusModuleLoader& operator=(const NautilusModuleLoader&) = delete;

    bool loaded() const { return loaded_; }
    const std::string& failure() const { return failure_; }
    const std::vector<GType>& types() const { return types_; }
    // One instance of every listed type, owned by the loader.
    const std::vector<GObject*>& objects() const { return objects_; }
    // Whether the library exports a symbol of that name.
    bool exports(const char* symbol) const;

private:
    GTypeModule* module_ = nullptr;
    bool loaded_ = false;
    std::string failure_;
    std::vector<GType> types_;
    std::vector<GObject*> objects_;
};

// A NautilusFileInfo for a URI: answers from the URI and the given file type alone, without
// looking at the disk. Returns a new reference.
NautilusFileInfo* newTestFileInfo(const std::string& uri, GFileType type);

}  // namespace quillet::test
