#include "platform/linux/QtFileTrash.h"

#include <QFile>

namespace quillet {

void QtFileTrash::trash(const std::filesystem::path& item, Completion completion) {
    QFile file(QString::fromStdString(item.string()));
    if (!file.moveToTrash()) return completion(TrashOutcome::failed(file.errorString().toStdString()));
    // On success the file object names the item's place in the Trash.
    completion(TrashOutcome::trashed(std::filesystem::path(file.fileName().toStdString())));
}

}  // namespace quillet
