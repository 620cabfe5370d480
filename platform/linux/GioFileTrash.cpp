#include "platform/linux/GioFileTrash.h"

#include "platform/linux/GioLibrary.h"

#include <memory>

namespace quillet {

void GioFileTrash::trash(const std::filesystem::path& item, Completion completion) {
    const GioLibrary* gio = gioLibrary();
    if (!gio) return completion(TrashOutcome::failed("GIO is not installed"));
    const std::unique_ptr<GFile, decltype(&::g_object_unref)> file(gio->file_new_for_path(item.c_str()),
                                                                   gio->object_unref);
    GError* error = nullptr;
    if (!gio->file_trash(file.get(), nullptr, &error)) {
        std::string description = error ? error->message : "";
        g_clear_error(&error);
        return completion(TrashOutcome::failed(std::move(description)));
    }
    completion(TrashOutcome::trashed());
}

}  // namespace quillet
