#pragma once

#include <QWidget>

#include <vector>

#include "app/observation/Subscription.h"
#include "app/quickcreate/QuickCreatePanelModel.h"

class QLabel;
class QLineEdit;
class QScrollArea;
class QVBoxLayout;

namespace quillet {

class DestinationPickerControl;
class FileTypeTileButton;
class MiddleElidedLabel;

// The content of the Quick Create panel: title and destination picker, search field, the grid of
// file types by category (or "No file types found"), and a footer naming where files go.
// Everything it shows comes from the model, redrawn whenever the model tells of a change; it
// keeps only focus and hover. The keyboard stays in the search field: the arrow keys move the
// model's selection through the grid and Return creates the selected type. Its widgets carry object names ("sectionHeading", "emptyState",
// "footerTitle", "footerDetail") by which tests and accessibility find them.
class QuickCreatePanelView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 560;
    static constexpr int kHeight = 600;

    explicit QuickCreatePanelView(QuickCreatePanelModel& model, QWidget* parent = nullptr);
    ~QuickCreatePanelView() override;

    QSize sizeHint() const override { return {kWidth, kHeight}; }

    // Puts the keyboard focus in the search field, as every opening does.
    void focusSearchField();

    QLineEdit* searchField() const { return searchField_; }
    DestinationPickerControl* destinationPicker() const { return picker_; }
    // The tiles shown, section by section.
    std::vector<FileTypeTileButton*> tiles() const;

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void render();
    void rebuildGrid();
    void showSelection();
    void updateFooter();
    void applyPalette();

    QuickCreatePanelModel& model_;
    QLabel* titleIcon_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    DestinationPickerControl* picker_ = nullptr;
    QWidget* searchRow_ = nullptr;
    QLabel* searchIcon_ = nullptr;
    QLineEdit* searchField_ = nullptr;
    QScrollArea* scrollArea_ = nullptr;
    QWidget* gridContent_ = nullptr;
    QVBoxLayout* gridLayout_ = nullptr;
    QWidget* emptyState_ = nullptr;
    QWidget* footer_ = nullptr;
    QLabel* footerIcon_ = nullptr;
    MiddleElidedLabel* footerTitle_ = nullptr;
    MiddleElidedLabel* footerDetail_ = nullptr;
    // The sections the grid was built for: a change elsewhere (the footer's status, the search
    // text's echo) leaves the tiles, and a tile being clicked, in place.
    std::vector<QuickCreatePanelModel::Section> shownSections_;
    bool gridBuilt_ = false;
    Subscription modelChanges_;
};

}  // namespace quillet
