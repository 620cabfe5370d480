#pragma once

#include <QFrame>

#include <filesystem>
#include <vector>

#include "app/observation/Subscription.h"

class QGridLayout;
class QLabel;
class QPushButton;
class QToolButton;

namespace quillet {

class FolderAccessSetupModel;

// The "Folder Access" card: a header with the summary and the four grant buttons, a grid of the
// saved roots each with a button that forgets it, and the outcome of the last action. It renders
// the model's state and forwards clicks; the flows run their panels modally inside the click.
// Tests and accessibility find its parts by object name: "summary", "statusMessage",
// "folderGrid", "folderCell" (with "folderName" and "forgetAccessButton" inside). The model
// outlives the card.
class FolderAccessSetupView final : public QFrame {
    Q_OBJECT
public:
    static constexpr int kPadding = 14;
    static constexpr int kCornerRadius = 10;
    static constexpr int kMinimumColumnWidth = 170;
    static constexpr int kColumns = 3;

    explicit FolderAccessSetupView(FolderAccessSetupModel& model, QWidget* parent = nullptr);
    ~FolderAccessSetupView() override;

    // The four grant buttons, top to bottom.
    const std::vector<QPushButton*>& buttons() const { return buttons_; }
    // The forget button of each cell, in list order.
    std::vector<QToolButton*> forgetButtons() const;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void render();
    void rebuildGrid();
    void applyPalette();

    FolderAccessSetupModel& model_;
    QLabel* symbol_ = nullptr;
    QLabel* summary_ = nullptr;
    QWidget* grid_ = nullptr;
    QGridLayout* gridLayout_ = nullptr;
    QLabel* status_ = nullptr;
    std::vector<QPushButton*> buttons_;
    // The roots the grid was built for, so an unchanged list is not rebuilt.
    std::vector<std::filesystem::path> shownRoots_;
    Subscription subscription_;
};

}  // namespace quillet
