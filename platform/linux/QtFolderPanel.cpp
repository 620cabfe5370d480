#include "platform/linux/QtFolderPanel.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>
#include <vector>

#include "shared/text/Translation.h"

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

}  // namespace

void QtFolderPanel::configure(QFileDialog& dialog, const FolderPanelConfiguration& configuration) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setWindowTitle(QString::fromUtf8(translate(configuration.title.c_str())));
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
        dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8(translate(configuration.prompt.c_str())));
    if (configuration.directoryURL) dialog.setDirectory(fromPath(*configuration.directoryURL));
    if (configuration.allowsMultipleSelection && !configuration.canChooseFiles) {
        // The file list in either view mode; the sidebar of places keeps its own behaviour.
        for (const char* name : {"listView", "treeView"})
            if (auto* view = dialog.findChild<QAbstractItemView*>(QLatin1String(name)))
                view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    addMessage(dialog, QString::fromUtf8(translate(configuration.message.c_str())));
}

FolderPanelResult QtFolderPanel::runModal(const FolderPanelConfiguration& configuration) {
    QFileDialog dialog;
    configure(dialog, configuration);
    dialog.setWindowModality(Qt::ApplicationModal);

    FolderPanelResult result;
    result.confirmed = dialog.exec() == QDialog::Accepted;
    if (!result.confirmed) return result;
    // With several folders allowed, the list's whole selection (both views share it).
    for (const QString& path : dialog.selectedFiles())
        if (!path.isEmpty()) result.urls.emplace_back(QFile::encodeName(QDir::cleanPath(path)).toStdString());
    return result;
}

}  // namespace quillet
