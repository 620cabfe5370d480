#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

#include <functional>
#include <vector>

#include "app/quickcreate/QuickCreatePanelModel.h"
#include "shared/catalog/FileTypeDefinition.h"

class QLineEdit;
class QScrollArea;
class QVBoxLayout;

namespace quillet {

// One file type in the panel's grid: its symbol in a tinted box, its name and ".extension".
// Clicking anywhere on the rounded tile runs the action.
class FileTypeTileButton final : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kMinimumHeight = 58;
    static constexpr int kMinimumWidth = 150;

    FileTypeTileButton(FileTypeDefinition type, std::function<void()> action, QWidget* parent = nullptr);

    const FileTypeDefinition& type() const { return type_; }
    bool isHovered() const { return isHovered_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    FileTypeDefinition type_;
    std::function<void()> action_;
    bool isHovered_ = false;
    QIcon icon_;
};

// A label that shortens its one line in the middle ("/home/ann/…/Desktop") instead of growing.
class MiddleElidedLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void setFullText(const QString& text);
    const QString& fullText() const { return fullText_; }
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString fullText_;
};

// A two-segment picker, each segment an icon and a title, the chosen one filled with the accent.
class DestinationPickerControl final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 238;
    explicit DestinationPickerControl(QWidget* parent = nullptr);

    CreationDestinationMode mode() const { return mode_; }
    void setMode(CreationDestinationMode mode);
    // The middle of a segment, for clicks in tests.
    QPoint segmentCenter(CreationDestinationMode mode) const;
    QSize sizeHint() const override;

signals:
    void modeChosen(CreationDestinationMode mode);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect segmentRect(size_t index) const;
    CreationDestinationMode mode_ = CreationDestinationMode::desktop;
};

// The content of the Quick Create panel: title and destination picker, search field, the grid of
// file types by category (or "No file types found"), and a footer naming where files go.
// Everything it shows comes from the model; it keeps only focus and hover.
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
    std::vector<FileTypeTileButton*> tiles() const;
    // Section headings shown, in order.
    QStringList sectionHeadings() const;
    bool showsEmptyState() const;
    QString footerTitle() const;
    QString footerDetail() const;
    QString footerSymbol() const { return footerSymbol_; }
    bool footerTitleIsStatus() const { return footerTitleIsStatus_; }

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void render();
    void rebuildGrid();
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
    std::vector<QuickCreatePanelModel::Section> shownSections_;
    bool gridBuilt_ = false;
    QString footerSymbol_;
    bool footerTitleIsStatus_ = false;
};

// Colours of the panel, taken from the palette so that dark and light themes both work.
namespace panelcolors {
QColor accent(const QPalette& palette);
QColor separator(const QPalette& palette);
QColor secondaryText(const QPalette& palette);
QColor tertiaryText(const QPalette& palette);
QColor withAlpha(QColor color, double alpha);
}  // namespace panelcolors

}  // namespace quillet
