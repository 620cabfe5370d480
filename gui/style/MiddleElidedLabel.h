#pragma once

#include <QLabel>

namespace quillet {

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

}  // namespace quillet
