#pragma once

#include <QAbstractButton>
#include <QIcon>

#include <functional>

#include "shared/catalog/FileTypeDefinition.h"

namespace quillet {

// One file type in the panel's grid: its symbol in a tinted box, its name and ".extension".
// Clicking anywhere on the rounded tile runs the action. The selected tile, the one Return
// creates, is drawn lit with an accent border.
class FileTypeTileButton final : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kMinimumHeight = 58;
    static constexpr int kMinimumWidth = 150;

    FileTypeTileButton(FileTypeDefinition type, std::function<void()> action, QWidget* parent = nullptr);

    const FileTypeDefinition& type() const { return type_; }
    bool isHovered() const { return isHovered_; }
    bool isSelected() const { return isSelected_; }
    void setSelected(bool selected);

    // The name as drawn at the tile's width: one line, or two where it does not fit, at the
    // one name size.
    QStringList nameLines() const;
    static QFont nameFont();
    // Where the texts go: right of the symbol box, 10 from the right edge.
    QRect textRect() const;

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
    bool isSelected_ = false;
    QIcon icon_;
};

}  // namespace quillet
