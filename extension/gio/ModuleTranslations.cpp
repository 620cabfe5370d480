#include "extension/gio/ModuleTranslations.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "shared/text/Translation.h"

namespace quillet {

void bindModuleTranslations() {
    namespace fs = std::filesystem;
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&bindModuleTranslations), &info) == 0 || !info.dli_fname) return;
    std::error_code error;
    fs::path folder = fs::path(info.dli_fname).parent_path();
    // The module sits at most a few folders below its prefix (lib/<triplet>/nautilus/extensions-4).
    for (int depth = 0; depth < 6 && !folder.empty() && folder != folder.root_path(); ++depth) {
        if (fs::is_directory(folder / "share" / "quillet", error)) {
            bindTranslations(folder / "share" / "locale", false);
            return;
        }
        folder = folder.parent_path();
    }
}

}  // namespace quillet
