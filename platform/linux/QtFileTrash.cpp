#include "platform/linux/QtFileTrash.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <QFile>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace quillet {

namespace {

namespace fs = std::filesystem;

// A place in a freedesktop Trash: <trash>/files/<name>, with <trash>/info/<name>.trashinfo.
bool isTrashedPlace(const fs::path& place) {
    if (!place.is_absolute() || place.parent_path().filename() != "files") return false;
    std::error_code error;
    const auto info = place.parent_path().parent_path() / "info" / (place.filename().string() + ".trashinfo");
    return fs::is_regular_file(info, error);
}

// Qt 6.4 reports success even when it could not make the Trash folder: it then moves the item
// into "files/" beneath the working folder and names that place relatively. That is no Trash,
// so the item goes back where it was (never over something that took its place meanwhile) and
// the stray record goes with it.
std::string takeBack(const fs::path& reported, const fs::path& item) {
    std::error_code error;
    const fs::path place = fs::absolute(reported, error);
    if (::renameat2(AT_FDCWD, place.c_str(), AT_FDCWD, item.c_str(), RENAME_NOREPLACE) != 0)
        return "The Trash folder could not be made, and Quillet+ was left at " + place.string() + ": " +
               std::strerror(errno);
    const fs::path files = place.parent_path();
    const fs::path info = files.parent_path() / "info";
    fs::remove(info / (place.filename().string() + ".trashinfo"), error);
    fs::remove(files, error);  // only when empty
    fs::remove(info, error);
    return "The Trash folder could not be made.";
}

}  // namespace

void QtFileTrash::trash(const std::filesystem::path& item, Completion completion) {
    QFile file(QString::fromStdString(item.string()));
    if (!file.moveToTrash()) return completion(TrashOutcome::failed(file.errorString().toStdString()));
    // On success the file object names the item's place in the Trash.
    const fs::path place(file.fileName().toStdString());
    if (!isTrashedPlace(place)) return completion(TrashOutcome::failed(takeBack(place, item)));
    completion(TrashOutcome::trashed(place));
}

}  // namespace quillet
