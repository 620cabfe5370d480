#include "platform/linux/QtModalAlert.h"

#include <QApplication>
#include <QGridLayout>
#include <QSpacerItem>

#include <algorithm>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "platform/posix/StderrModalAlert.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {

// A message box takes the width of its first line, which leaves a long informative text in a
// tall, narrow column. A spacer across the box's grid asks for a width that fits the text
// (within what reads comfortably).
void sizeToText(QMessageBox& box, const Alert& alert) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    const QFontMetrics metrics(box.font());
    int longest = 0;
    for (const std::string* text : {&alert.messageText, &alert.informativeText})
        for (const QString& line : QString::fromStdString(*text).split(QLatin1Char('\n')))
            longest = std::max(longest, metrics.horizontalAdvance(line));
    const int width = std::clamp(longest + QtModalAlert::kIconAllowance, QtModalAlert::kMinimumWidth,
                                 QtModalAlert::kMaximumWidth);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

std::size_t runBox(const Alert& alert, const std::vector<std::string>& buttons) {
    QMessageBox box;
    box.setIcon(alert.style == AlertStyle::critical ? QMessageBox::Critical : QMessageBox::Warning);
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
    box.setText(QString::fromStdString(alert.messageText));
    box.setInformativeText(QString::fromStdString(alert.informativeText));
    // Descriptions carry folder and file names from outside; markup in them is shown as typed.
    // The informative label does not follow setTextFormat, hence every label.
    box.setTextFormat(Qt::PlainText);
    for (QLabel* label : box.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    // Every button in the one role keeps them in the order given, left to right.
    std::vector<QPushButton*> added;
    for (const auto& title : buttons)
        added.push_back(box.addButton(QString::fromStdString(title), QMessageBox::ActionRole));
    sizeToText(box, alert);
    box.setDefaultButton(alert.cancelIsDefault ? added.back() : added.front());
    box.setEscapeButton(added.back());
    box.exec();
    for (std::size_t i = 0; i < added.size(); ++i)
        if (box.clickedButton() == added[i]) return i;
    return added.size() - 1;
}

}  // namespace

void QtModalAlert::runModal(const Alert& alert) { runBox(inSessionLanguage(alert), {translate("OK")}); }

std::size_t QtModalAlert::runModal(const Alert& alert, const std::vector<std::string>& buttons) {
    if (buttons.empty()) {
        runModal(alert);
        return 0;
    }
    return runBox(inSessionLanguage(alert), inSessionLanguage(buttons));
}

std::unique_ptr<ModalAlert> makeModalAlert() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) return std::make_unique<QtModalAlert>();
    return std::make_unique<StderrModalAlert>();
}

}  // namespace quillet
