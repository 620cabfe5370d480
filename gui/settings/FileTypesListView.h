#pragma once

#include <QScrollArea>

#include <string>
#include <vector>

#include "app/observation/Subscription.h"

class QVBoxLayout;

namespace quillet {

class FileTypeRow;
class FileTypesListModel;

// The file types list: a section per category in catalog order, titled with the category's name,
// holding a row per type in the user's order, each with its switch. It has no state of its own:
// it redraws whenever the model tells of a change, in place when only switches changed and
// afresh when the order did. Section titles carry the object name "sectionHeading". The
// model outlives the list.
class FileTypesListView final : public QScrollArea {
    Q_OBJECT
public:
    explicit FileTypesListView(FileTypesListModel& model, QWidget* parent = nullptr);
    ~FileTypesListView() override;

    QSize sizeHint() const override { return {420, 360}; }

    // The rows shown, section by section.
    const std::vector<FileTypeRow*>& rows() const { return rows_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void render();
    void rebuild();
    void applyPalette();

    FileTypesListModel& model_;
    QWidget* content_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    std::vector<FileTypeRow*> rows_;
    // The type ids the rows were built for, in order, to tell an order change from a switch.
    std::vector<std::string> shownIDs_;
    Subscription modelChanges_;
};

}  // namespace quillet
