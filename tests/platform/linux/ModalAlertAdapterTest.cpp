#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "platform/linux/QtModalAlert.h"

using namespace quillet;

namespace {

struct ShownBox {
    bool seen = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QString informativeText;
    QStringList buttonTexts;
    QString defaultButtonText;
    QList<Qt::TextFormat> labelFormats;
    int width = 0;
    int height = 0;
};

// Runs the alert; while it is up, records what it shows and answers it with the key (Return:
// the default button). A box that is still open after five seconds is closed, so a broken seam
// fails, not hangs. A question's answer lands in `chosen`.
ShownBox runAndAnswer(ModalAlert& alert, const Alert& content, const std::vector<std::string>* buttons = nullptr,
                      std::size_t* chosen = nullptr, Qt::Key key = Qt::Key_Return) {
    ShownBox shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        shown.seen = true;
        shown.icon = box->icon();
        shown.text = box->text();
        shown.informativeText = box->informativeText();
        shown.width = box->width();
        shown.height = box->height();
        for (auto* button : box->buttons()) shown.buttonTexts << button->text();
        if (box->defaultButton()) shown.defaultButtonText = box->defaultButton()->text();
        for (auto* label : box->findChildren<QLabel*>())
            if (!label->text().isEmpty()) shown.labelFormats << label->textFormat();
        QTest::keyClick(box, key);
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* modal = QApplication::activeModalWidget()) modal->close();
    });
    guard.start(5000);
    if (buttons) {
        *chosen = alert.runModal(content, *buttons);
    } else {
        alert.runModal(content);
    }
    EXPECT_TRUE(guard.isActive()) << "the alert was not answered by its key";
    return shown;
}

}  // namespace

TEST(QtModalAlert, ShowsAWarningWithOneDefaultOKButton) {
    QtModalAlert alert;
    const ShownBox shown = runAndAnswer(
        alert, {"Could not create file", "Quillet+ does not know how to create this file type.",
                AlertStyle::warning});
    ASSERT_TRUE(shown.seen);
    EXPECT_EQ(shown.icon, QMessageBox::Warning);
    EXPECT_EQ(shown.text, "Could not create file");
    EXPECT_EQ(shown.informativeText, "Quillet+ does not know how to create this file type.");
    EXPECT_EQ(shown.buttonTexts, QStringList{"OK"});
    EXPECT_EQ(shown.defaultButtonText, "OK");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A box is sized to its text: a short one no narrow strip, a long one wide enough to read in a
// few lines rather than a tall column.
TEST(QtModalAlert, TheBoxIsSizedToItsText) {
    QtModalAlert alert;
    const ShownBox shortBox = runAndAnswer(alert, {"Could not create file", "Try again.", AlertStyle::warning});
    EXPECT_GE(shortBox.width, QtModalAlert::kMinimumWidth);
    const std::string longText =
        "Quillet+ could not write to the folder you chose, because the folder is read-only or belongs to "
        "another user. Choose a folder you may write to, or ask its owner to let you write there, then try "
        "again from the same menu.";
    const ShownBox longBox = runAndAnswer(alert, {"Could not create file", longText, AlertStyle::warning});
    EXPECT_GE(longBox.width, QtModalAlert::kMaximumWidth);
    EXPECT_LT(longBox.height, longBox.width) << "a wide box, not a tall column";
}

TEST(QtModalAlert, CriticalStyleAndMarkupShownAsTyped) {
    QtModalAlert alert;
    // Folder names reach the alert from outside; markup in them must not be rendered.
    const ShownBox shown = runAndAnswer(
        alert, {"Could not uninstall <b>Quillet+</b>", "The folder \u201C<i>x</i>\u201D is gone.",
                AlertStyle::critical});
    ASSERT_TRUE(shown.seen);
    EXPECT_EQ(shown.icon, QMessageBox::Critical);
    ASSERT_FALSE(shown.labelFormats.isEmpty());
    for (auto format : shown.labelFormats) EXPECT_EQ(format, Qt::PlainText);
}

TEST(QtModalAlert, ChosenWhenTheApplicationHasWidgets) {
    EXPECT_NE(dynamic_cast<QtModalAlert*>(makeModalAlert().get()), nullptr);
}

TEST(QtModalAlert, AQuestionKeepsItsButtonOrderWithReturnForTheFirstAndEscapeForTheLast) {
    QtModalAlert alert;
    const std::vector<std::string> buttons{"Uninstall", "Cancel"};
    const Alert question{"Uninstall Quillet+?", "Files you created with Quillet+ will not be removed.",
                         AlertStyle::critical};
    std::size_t chosen = 99;
    const ShownBox shown = runAndAnswer(alert, question, &buttons, &chosen, Qt::Key_Return);
    ASSERT_TRUE(shown.seen);
    EXPECT_EQ(shown.icon, QMessageBox::Critical);
    EXPECT_EQ(shown.buttonTexts, (QStringList{"Uninstall", "Cancel"}));
    EXPECT_EQ(shown.defaultButtonText, "Uninstall");
    EXPECT_EQ(chosen, 0u);

    runAndAnswer(alert, question, &buttons, &chosen, Qt::Key_Escape);
    EXPECT_EQ(chosen, 1u);
}

TEST(QtModalAlert, ADestructiveQuestionAnswersReturnWithCancel) {
    QtModalAlert alert;
    const std::vector<std::string> buttons{"Uninstall", "Cancel"};
    Alert question{"Uninstall Quillet+?", "Files you created with Quillet+ will not be removed.", AlertStyle::critical};
    question.cancelIsDefault = true;
    std::size_t chosen = 99;
    const ShownBox shown = runAndAnswer(alert, question, &buttons, &chosen, Qt::Key_Return);
    ASSERT_TRUE(shown.seen);
    EXPECT_EQ(shown.buttonTexts, (QStringList{"Uninstall", "Cancel"}));
    EXPECT_EQ(shown.defaultButtonText, "Cancel");
    EXPECT_EQ(chosen, 1u);
}
