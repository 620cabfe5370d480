#include "platform/linux/GioFileTrash.h"

// GLib only here: its headers name struct fields "signals", which Qt defines as a macro.
#include <gio/gio.h>

#include <memory>

namespace quillet {

void GioFileTrash::trash(const std::filesystem::path& item, Completion completion) {
    const std::unique_ptr<GFile, decltype(&g_object_unref)> file(g_file_new_for_path(item.c_str()), g_object_unref);
    GError* error = nullptr;
    if (!g_file_trash(file.get(), nullptr, &error)) {
        std::string description = error ? error->message : "";
        g_clear_error(&error);
        return completion(TrashOutcome::failed(std::move(description)));
    }
    completion(TrashOutcome::trashed());
}

}  // namespace quillet
