#pragma once

#include <QWidget>

#include "app/creation/CreationDestination.h"
#include "shared/text/DesktopWords.h"

namespace quillet {

// A two-segment picker, each segment an icon and a title, the chosen one filled with the accent.
class DestinationPickerControl final : public QWidget {
    Q_OBJECT
public:
    // The width when both titles fit; wider titles widen it.
    static constexpr int kWidth = 238;
    // `words`: how the session names its file manager, for the front folder's segment.
    explicit DestinationPickerControl(const DesktopWords& words, QWidget* parent = nullptr);

    CreationDestinationMode mode() const { return mode_; }
    void setMode(CreationDestinationMode mode);
    // The middle of a segment, for clicks in tests.
    QPoint segmentCenter(CreationDestinationMode mode) const;
    // The title a segment shows: "Desktop", "Files Folder".
    QString segmentTitle(CreationDestinationMode mode) const;
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
    DesktopWords words_;
};

}  // namespace quillet
