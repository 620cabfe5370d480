#include "platform/linux/QtModalAlert.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "platform/posix/StderrModalAlert.h"

namespace quillet {

namespace {

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
    box.setDefaultButton(alert.cancelIsDefault ? added.back() : added.front());
    box.setEscapeButton(added.back());
    box.exec();
    for (std::size_t i = 0; i < added.size(); ++i)
        if (box.clickedButton() == added[i]) return i;
    return added.size() - 1;
}

}  // namespace

void QtModalAlert::runModal(const Alert& alert) { runBox(alert, {"OK"}); }

std::size_t QtModalAlert::runModal(const Alert& alert, const std::vector<std::string>& buttons) {
    if (buttons.empty()) {
        runModal(alert);
        return 0;
    }
    return runBox(alert, buttons);
}

std::unique_ptr<ModalAlert> makeModalAlert() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) return std::make_unique<QtModalAlert>();
    return std::make_unique<StderrModalAlert>();
}

}  // namespace quillet
