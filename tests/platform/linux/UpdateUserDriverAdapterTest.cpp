#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "platform/linux/QtUpdateUserDriver.h"

using namespace quillet;
using Driver = QtUpdateUserDriver;

namespace {

struct ShownOffer {
    bool seen = false;
    QString title;
    QString text;
    Qt::TextFormat textFormat = Qt::AutoText;
    QStringList buttonTexts;
    QString defaultButton;
    QString notesPlainText;
    bool notesReadOnly = false;
    QString notesLink;
};

// Runs the offer; while it is up, records what it shows and answers it as `answer` says (a
// button's object name, or empty for the Return key). A dialog still open after five seconds is
// closed, so a broken seam fails the test rather than hanging it.
std::pair<bool, ShownOffer> offerAndAnswer(UpdateUserDriver& driver, const UpdateOffer& offer, const char* answer) {
    ShownOffer shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != Driver::kOfferDialogName) return;
        shown.seen = true;
        if (auto* label = dialog->findChild<QLabel*>(Driver::kOfferTitleName)) shown.title = label->text();
        if (auto* label = dialog->findChild<QLabel*>(Driver::kOfferTextName)) {
            shown.text = label->text();
            shown.textFormat = label->textFormat();
        }
        for (auto* button : dialog->findChildren<QPushButton*>()) {
            shown.buttonTexts << button->text();
            if (button->isDefault()) shown.defaultButton = button->text();
        }
        if (auto* notes = dialog->findChild<QTextBrowser*>(Driver::kReleaseNotesName)) {
            shown.notesPlainText = notes->toPlainText();
            shown.notesReadOnly = notes->isReadOnly();
        }
        if (auto* link = dialog->findChild<QLabel*>(Driver::kReleaseNotesLinkName)) shown.notesLink = link->text();
        if (*answer) {
            if (auto* button = dialog->findChild<QPushButton*>(answer)) QTest::mouseClick(button, Qt::LeftButton);
        } else {
            QTest::keyClick(dialog, Qt::Key_Return);
        }
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* modal = QApplication::activeModalWidget()) modal->close();
    });
    guard.start(5000);
    const bool install = driver.offerUpdate(offer);
    EXPECT_TRUE(guard.isActive()) << "the offer was not answered";
    return {install, shown};
}

QWidget* progressWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == Driver::kProgressWindowName && widget->isVisible()) return widget;
    return nullptr;
}

const UpdateOffer offer{"2.0", "1.4.1", "", "", 5'000'000};

}  // namespace

TEST(QtUpdateUserDriver, OffersTheUpdateWithInstallAsTheDefault) {
    Driver driver;
    const auto [install, shown] = offerAndAnswer(driver, offer, "");
    ASSERT_TRUE(shown.seen);
    EXPECT_TRUE(install) << "Return chooses Install";
    EXPECT_EQ(shown.title, "A new version of Quillet+ is available!");
    EXPECT_EQ(shown.text, "Quillet+ 2.0 is now available\u2014you have 1.4.1. Would you like to install it now?");
    EXPECT_EQ(shown.buttonTexts.size(), 2);
    EXPECT_TRUE(shown.buttonTexts.contains("Install"));
    EXPECT_TRUE(shown.buttonTexts.contains("Not Now"));
    EXPECT_EQ(shown.defaultButton, "Install");
    EXPECT_TRUE(shown.notesPlainText.isEmpty());
    EXPECT_TRUE(shown.notesLink.isEmpty());

    EXPECT_TRUE(offerAndAnswer(driver, offer, Driver::kInstallButtonName).first);
    EXPECT_FALSE(offerAndAnswer(driver, offer, Driver::kNotNowButtonName).first);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(QtUpdateUserDriver, ShowsReleaseNotesReadOnlyOrALinkToThem) {
    Driver driver;
    UpdateOffer withHtml = offer;
    withHtml.displayVersion = "<b>2.0</b>";  // versions from the feed are shown as typed
    withHtml.releaseNotes = "<h2>What\u2019s new</h2><ul><li>Faster &amp; smaller</li></ul>";
    withHtml.releaseNotesURL = "https://quillet.example/notes/2.0.html";
    const auto [install, html] = offerAndAnswer(driver, withHtml, Driver::kNotNowButtonName);
    ASSERT_TRUE(html.seen);
    EXPECT_FALSE(install);
    EXPECT_EQ(html.textFormat, Qt::PlainText);
    EXPECT_TRUE(html.text.startsWith("Quillet+ <b>2.0</b> is now available"));
    EXPECT_TRUE(html.notesReadOnly);
    EXPECT_TRUE(html.notesPlainText.contains("What\u2019s new"));
    EXPECT_TRUE(html.notesPlainText.contains("Faster & smaller"));
    EXPECT_FALSE(html.notesPlainText.contains("<li>")) << "HTML notes are rendered";
    EXPECT_TRUE(html.notesLink.isEmpty()) << "notes in the feed come first";

    UpdateOffer plain = offer;
    plain.releaseNotes = "Fixes 1 < 2 and a > b.";
    const auto shownPlain = offerAndAnswer(driver, plain, Driver::kNotNowButtonName).second;
    EXPECT_EQ(shownPlain.notesPlainText, "Fixes 1 < 2 and a > b.");

    UpdateOffer linked = offer;
    linked.releaseNotesURL = "https://quillet.example/notes?v=2.0&lang=en";
    const auto shownLink = offerAndAnswer(driver, linked, Driver::kNotNowButtonName).second;
    EXPECT_TRUE(shownLink.notesLink.contains("href=\"https://quillet.example/notes?v=2.0&amp;lang=en\""))
        << shownLink.notesLink.toStdString();

    UpdateOffer unsafeLink = offer;
    unsafeLink.releaseNotesURL = "javascript:alert(1)";
    EXPECT_TRUE(offerAndAnswer(driver, unsafeLink, Driver::kNotNowButtonName).second.notesLink.isEmpty());
}

TEST(QtUpdateUserDriver, ProgressCancelsOnceAndStaysUntilHidden) {
    Driver driver;
    int cancels = 0;
    driver.showProgress("Downloading Quillet+ 2.0\u2026", [&] { ++cancels; });
    QWidget* window = progressWindow();
    ASSERT_NE(window, nullptr);
    auto* label = window->findChild<QLabel*>(Driver::kProgressLabelName);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Downloading Quillet+ 2.0\u2026");
    auto* bar = window->findChild<QProgressBar*>(Driver::kProgressBarName);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), 0) << "busy until the size is known";

    driver.setProgress(1'250'000, 5'000'000);
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value() * 4, bar->maximum());
    driver.setProgress(6'000'000'000ULL, 8'000'000'000ULL);  // beyond an int, still a quarter short
    EXPECT_EQ(bar->value() * 4, bar->maximum() * 3);
    driver.setProgress(10, std::nullopt);
    EXPECT_EQ(bar->maximum(), 0);

    auto* cancel = window->findChild<QPushButton*>(Driver::kCancelButtonName);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "Cancel");
    QTest::mouseClick(cancel, Qt::LeftButton);
    QTest::keyClick(window, Qt::Key_Escape);
    window->close();
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(progressWindow(), window) << "the window stays until the updater hides it";

    driver.hideProgress();
    EXPECT_EQ(progressWindow(), nullptr);
    driver.setProgress(1, 2);  // after hiding: nothing to update, nothing to crash
}

TEST(QtUpdateUserDriver, TheCancelCallbackMayHideTheProgress) {
    Driver driver;
    int cancels = 0;
    driver.showProgress("Downloading Quillet+ 2.0\u2026", [&] {
        ++cancels;
        driver.hideProgress();
    });
    QWidget* window = progressWindow();
    ASSERT_NE(window, nullptr);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(progressWindow(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A second download gets a window and a callback of its own.
    int secondCancels = 0;
    driver.showProgress("Downloading Quillet+ 2.1\u2026", [&] { ++secondCancels; });
    ASSERT_NE(progressWindow(), nullptr);
    QTest::keyClick(progressWindow(), Qt::Key_Escape);
    EXPECT_EQ(secondCancels, 1);
    EXPECT_EQ(cancels, 1);
}
