#include "platform/linux/QtFolderPanel.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QSet>

#include <algorithm>
#include <vector>

namespace quillet {

namespace {

// File names are bytes; Qt converts them the way it names files itself.
QString fromPath(const std::filesystem::path& path) { return QFile::decodeName(QByteArray::fromStdString(path.string())); }

// QFileDialog lays itself out on a grid with no place for a message; every item moves down one
// row and the message takes the top row across the whole width.
void addMessage(QFileDialog& dialog, const QString& message) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid || message.isEmpty()) return;
    struct Placed {
        QLayoutItem* item;
        int row, column, rowSpan, columnSpan;
    };
    std::vector<Placed> placed;
    for (int i = grid->count() - 1; i >= 0; --i) {
        Placed p{nullptr, 0, 0, 0, 0};
        grid->getItemPosition(i, &p.row, &p.column, &p.rowSpan, &p.columnSpan);
        p.item = grid->takeAt(i);
        placed.push_back(p);
    }
    const int columns = std::max(1, grid->columnCount());
    for (auto it = placed.rbegin(); it != placed.rend(); ++it)
        grid->addItem(it->item, it->row + 1, it->column, it->rowSpan, it->columnSpan);
    auto* label = new QLabel(message, &dialog);
    label->setObjectName(QtFolderPanel::kMessageLabelName);
    label->setTextFormat(Qt::PlainText);  // folder names come from outside
    label->setWordWrap(true);
    grid->addWidget(label, 0, 0, 1, columns);
}

// The selection of every view, for dialogs that allow several folders: the dialog's own answer
// holds only what its file name line reads back.
QStringList selectedPaths(QFileDialog& dialog) {
    QStringList paths;
    QSet<QString> seen;
    for (auto* view : dialog.findChildren<QAbstractItemView*>()) {
        auto* model = qobject_cast<QFileSystemModel*>(view->model());
        if (!model || !view->selectionModel() || !view->isVisible()) continue;
        for (const QModelIndex& index : view->selectionModel()->selectedRows()) {
            const QString path = model->filePath(index);
            if (!seen.contains(path)) {
                seen.insert(path);
                paths << path;
            }
        }
    }
    return paths;
}

}  // namespace

void QtFolderPanel::configure(QFileDialog& dialog, const FolderPanelConfiguration& configuration) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowTitle(QString::fromStdString(configuration.title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!configuration.canChooseFiles) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
    } else {
        dialog.setFileMode(configuration.allowsMultipleSelection ? QFileDialog::ExistingFiles
                                                                 : QFileDialog::ExistingFile);
    }
    dialog.setOption(QFileDialog::ReadOnly, !configuration.canCreateDirectories);
    dialog.setOption(QFileDialog::DontResolveSymlinks, !configuration.resolvesAliases);
    if (!configuration.prompt.empty())
        dialog.setLabelText(QFileDialog::Accept, QString::fromStdString(configuration.prompt));
    if (configuration.directoryURL) dialog.setDirectory(fromPath(*configuration.directoryURL));
    if (configuration.allowsMultipleSelection && !configuration.canChooseFiles) {
        for (auto* view : dialog.findChildren<QAbstractItemView*>())
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    addMessage(dialog, QString::fromStdString(configuration.message));
}

FolderPanelResult QtFolderPanel::runModal(const FolderPanelConfiguration& configuration) {
    QFileDialog dialog;
    configure(dialog, configuration);
    dialog.setWindowModality(Qt::ApplicationModal);

    // Read before the dialog is gone; the views still hold the user's selection on accept.
    QStringList chosen;
    QObject::connect(&dialog, &QDialog::accepted, &dialog, [&] {
        chosen = dialog.selectedFiles();
        if (configuration.allowsMultipleSelection && !configuration.canChooseFiles) {
            const QStringList several = selectedPaths(dialog);
            if (several.size() > 1) chosen = several;
        }
    });
    FolderPanelResult result;
    result.confirmed = dialog.exec() == QDialog::Accepted;
    if (!result.confirmed) return result;
    for (const QString& path : chosen)
        if (!path.isEmpty()) result.urls.emplace_back(QFile::encodeName(QDir::cleanPath(path)).toStdString());
    return result;
}

}  // namespace quillet
