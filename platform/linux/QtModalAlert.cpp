#include "platform/linux/QtModalAlert.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "platform/posix/StderrModalAlert.h"

namespace quillet {

void QtModalAlert::runModal(const Alert& alert) {
    QMessageBox box;
    box.setIcon(alert.style == AlertStyle::critical ? QMessageBox::Critical : QMessageBox::Warning);
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
    box.setText(QString::fromStdString(alert.messageText));
    box.setInformativeText(QString::fromStdString(alert.informativeText));
    // Descriptions carry folder and file names from outside; markup in them is shown as typed.
    // The informative label does not follow setTextFormat, hence every label.
    box.setTextFormat(Qt::PlainText);
    for (QLabel* label : box.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    ok->setText(QStringLiteral("OK"));
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

std::unique_ptr<ModalAlert> makeModalAlert() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) return std::make_unique<QtModalAlert>();
    return std::make_unique<StderrModalAlert>();
}

}  // namespace quillet
