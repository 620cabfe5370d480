#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <vector>

#include "gui/shortcuts/ShortcutRecorderControl.h"
#include "gui/shortcuts/ShortcutRecorderView.h"
#include "gui/style/AppStyle.h"

using namespace quillet;
using Appearance = ShortcutRecorderModel::Appearance;

namespace {

constexpr QuickCreateShortcut kCommandM{46, kCarbonCommandKey};
const char* const kHint = "Add Ctrl, Alt, or Super";

// A window holding one recorder beside a label, listening to what the recorder reports.
struct RecorderWindow {
    QWidget window;
    ShortcutRecorderControl* recorder = new ShortcutRecorderControl(&window);
    QLabel* elsewhere = new QLabel(QStringLiteral("Elsewhere"), &window);
    std::vector<QuickCreateShortcut> changes;
    int beeps = 0;
    int suspensions = 0;
    int activeSuspensions = 0;

    RecorderWindow() {
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(recorder);
        layout->addWidget(elsewhere);
        recorder->setOnChange([this](const QuickCreateShortcut& s) { changes.push_back(s); });
        recorder->setBeep([this] { ++beeps; });
        recorder->setHotKeySuspender([this] {
            ++suspensions;
            ++activeSuspensions;
            return HotKeySuspension([this] { --activeSuspensions; });
        });
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void click() { QTest::mouseClick(recorder, Qt::LeftButton); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(recorder, key, modifiers); }
};

QColor pixel(QWidget* widget, QPoint at) { return widget->grab().toImage().pixelColor(at); }

}  // namespace

TEST(ShortcutRecorderControl, RecordsControlOptionNOnceAndShowsItInTheLabelColour) {
    RecorderWindow w;
    EXPECT_EQ(w.recorder->sizeHint(), QSize(220, 32));
    w.recorder->setShortcut(kCommandM);
    w.click();
    EXPECT_TRUE(w.recorder->hasFocus());
    EXPECT_EQ(w.recorder->appearance(), (Appearance{"Press shortcut", true, true}));

    w.key(Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(w.changes, (std::vector<QuickCreateShortcut>{defaultQuickCreateShortcut}));
    EXPECT_EQ(w.recorder->appearance(), (Appearance{"Ctrl+Alt+N", true, false}));
    EXPECT_EQ(w.beeps, 0);
}

TEST(ShortcutRecorderControl, UnmodifiedKeyBeepsShowsTheHintAndKeepsRecording) {
    RecorderWindow w;
    w.click();
    w.key(Qt::Key_N);
    EXPECT_EQ(w.beeps, 1);
    EXPECT_TRUE(w.changes.empty());
    EXPECT_TRUE(w.recorder->isRecording());
    EXPECT_EQ(w.recorder->appearance(), (Appearance{kHint, false, true}));
    // Shift+A neither: every capital A typed anywhere would open the panel.
    w.key(Qt::Key_A, Qt::ShiftModifier);
    EXPECT_EQ(w.beeps, 2);
    EXPECT_TRUE(w.changes.empty());
    EXPECT_EQ(w.recorder->appearance(), (Appearance{kHint, false, true}));

    // Holding a modifier alone changes nothing; the next combination is taken.
    w.key(Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(w.recorder->appearance().text, kHint);
    EXPECT_EQ(w.beeps, 2);
    w.key(Qt::Key_Space, Qt::MetaModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.changes, (std::vector<QuickCreateShortcut>{{49, kCarbonCommandKey | kCarbonShiftKey}}));
    EXPECT_EQ(w.recorder->appearance().text, "Shift+Super+Space");
}

TEST(ShortcutRecorderControl, EscapeRestoresThePreviousShortcut) {
    RecorderWindow w;
    w.recorder->setShortcut(kCommandM);
    w.click();
    w.key(Qt::Key_N);
    w.key(Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_TRUE(w.changes.empty());
    EXPECT_EQ(w.recorder->shortcut(), kCommandM);
    EXPECT_EQ(w.recorder->appearance(), (Appearance{"Super+M", true, false}));
}

TEST(ShortcutRecorderControl, ClickElsewhereOrLosingTheWindowEndsRecording) {
    RecorderWindow w;
    w.click();
    ASSERT_TRUE(w.recorder->isRecording());
    EXPECT_EQ(w.activeSuspensions, 1);
    QTest::mouseClick(w.elsewhere, Qt::LeftButton);  // a label takes no focus of its own
    EXPECT_FALSE(w.recorder->isRecording());
    EXPECT_FALSE(w.recorder->hasFocus());
    EXPECT_EQ(w.recorder->appearance(), (Appearance{"Ctrl+Alt+N", true, false}));
    EXPECT_EQ(w.activeSuspensions, 0);

    w.click();
    w.key(Qt::Key_N);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(w.recorder->isRecording());
    EXPECT_FALSE(w.recorder->message());
    EXPECT_EQ(w.activeSuspensions, 0);
    EXPECT_TRUE(w.changes.empty());
}

// Reached by Tab, the field records nothing: the window's shortcuts work and Tab moves on. Return
// or Space starts recording; then every combination is the field's, the hot keys are released
// until it is recorded (registered at once, the focus staying), and Tab or Shift+Tab leaves
// without storing anything.
TEST(ShortcutRecorderControl, FocusAloneRecordsNothingAndTabAlwaysMovesOn) {
    QWidget window;
    auto* before = new QPushButton(QStringLiteral("Before"), &window);
    auto* recorder = new ShortcutRecorderControl(&window);
    auto* after = new QPushButton(QStringLiteral("After"), &window);
    auto* layout = new QHBoxLayout(&window);
    for (QWidget* widget : {static_cast<QWidget*>(before), static_cast<QWidget*>(recorder), static_cast<QWidget*>(after)})
        layout->addWidget(widget);
    std::vector<QuickCreateShortcut> changes;
    int active = 0;
    recorder->setOnChange([&](const QuickCreateShortcut& s) { changes.push_back(s); });
    recorder->setHotKeySuspender([&] {
        ++active;
        return HotKeySuspension([&] { --active; });
    });
    int triggered = 0;
    auto* quit = new QAction(&window);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QObject::connect(quit, &QAction::triggered, [&] { ++triggered; });
    window.addAction(quit);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    before->setFocus(Qt::TabFocusReason);
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_TRUE(recorder->hasFocus());
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(active, 0) << "focus alone keeps the hot keys";
    QTest::keyClick(recorder, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(triggered, 1) << "the window's shortcut, not a recording";
    QTest::keyClick(recorder, Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
    QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(recorder->hasFocus());
    QTest::keyClick(recorder, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(before->hasFocus());
    EXPECT_TRUE(changes.empty());

    recorder->setFocus(Qt::TabFocusReason);
    QTest::keyClick(recorder, Qt::Key_Return);
    EXPECT_TRUE(recorder->isRecording());
    EXPECT_EQ(active, 1);
    QTest::keyClick(recorder, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(changes, (std::vector<QuickCreateShortcut>{{12, kCarbonControlKey}}));
    EXPECT_EQ(triggered, 1);
    EXPECT_TRUE(recorder->hasFocus());
    EXPECT_EQ(active, 0) << "the new shortcut is registered without leaving the field";

    for (bool backwards : {false, true}) {
        recorder->setFocus(Qt::TabFocusReason);
        QTest::keyClick(recorder, Qt::Key_Space);
        ASSERT_TRUE(recorder->isRecording());
        QTest::keyClick(recorder, Qt::Key_N);  // refused: the hint shows
        if (backwards)
            QTest::keyClick(recorder, Qt::Key_Backtab, Qt::ShiftModifier);
        else
            QTest::keyClick(recorder, Qt::Key_Tab);
        EXPECT_TRUE((backwards ? before : after)->hasFocus());
        EXPECT_FALSE(recorder->isRecording());
        EXPECT_FALSE(recorder->message());
        EXPECT_EQ(active, 0);
    }
    EXPECT_EQ(changes.size(), 1u);
}

TEST(ShortcutRecorderControl, KeyEventsBecomeStoredKeysAndModifiers) {
    auto press = [](int key, Qt::KeyboardModifiers modifiers) {
        return ShortcutRecorderControl::keyPress(QKeyEvent(QEvent::KeyPress, key, modifiers));
    };
    RecorderKeyPress exclam = press(Qt::Key_Exclam, Qt::MetaModifier | Qt::ShiftModifier);
    EXPECT_EQ(exclam.keyCode, 18u);  // the 1 key, read back from its shifted symbol
    EXPECT_EQ(exclam.carbonModifiers, kCarbonCommandKey | kCarbonShiftKey);
    EXPECT_FALSE(exclam.isModifierKey);
    EXPECT_EQ(press(Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier).keyCode, std::nullopt);
    EXPECT_EQ(press(Qt::Key_F13, Qt::ControlModifier).keyCode, std::nullopt);
    EXPECT_TRUE(press(Qt::Key_Super_L, Qt::MetaModifier).isModifierKey);
    EXPECT_TRUE(press(Qt::Key_Alt, Qt::AltModifier).isModifierKey);
    EXPECT_EQ(press(Qt::Key_Escape, Qt::NoModifier).keyCode, ShortcutRecorderModel::kEscapeKeyCode);

    // A key no shortcut can hold is refused with a beep and recording goes on.
    RecorderWindow w;
    w.click();
    w.key(Qt::Key_F13, Qt::ControlModifier);
    EXPECT_EQ(w.beeps, 1);
    EXPECT_TRUE(w.recorder->isRecording());
    EXPECT_TRUE(w.changes.empty());
}

// Recording shows the accent border; focused but idle, a fainter ring says where the keyboard is.
TEST(ShortcutRecorderControl, RecordingIsDrawnWithTheAccentBorderAndFocusWithARing) {
    RecorderWindow w;
    w.recorder->clearFocus();  // the window's first control, it had the focus when it opened
    const QPoint leftEdge(1, w.recorder->height() / 2);
    const QColor accent = appstyle::accent(w.recorder->palette());
    EXPECT_NE(pixel(w.recorder, leftEdge).rgb(), accent.rgb());
    const QImage idle = w.recorder->grab().toImage();
    w.click();
    const QColor border = pixel(w.recorder, leftEdge);
    EXPECT_LE(std::abs(border.red() - accent.red()) + std::abs(border.green() - accent.green()) +
                  std::abs(border.blue() - accent.blue()),
              24);
    const QImage recording = w.recorder->grab().toImage();
    w.key(Qt::Key_Escape);
    ASSERT_TRUE(w.recorder->hasFocus());
    const QImage focused = w.recorder->grab().toImage();
    EXPECT_NE(focused, idle);
    EXPECT_NE(focused, recording);
    EXPECT_NE(pixel(w.recorder, QPoint(2, w.recorder->height() / 2)), idle.pixelColor(2, w.recorder->height() / 2));
    QTest::mouseClick(w.elsewhere, Qt::LeftButton);
    EXPECT_EQ(w.recorder->grab().toImage(), idle);
}

TEST(ShortcutRecorderControl, DestroyedWhileFocusedLetsTheHotKeysBack) {
    int active = 0;
    {
        QWidget window;
        auto* recorder = new ShortcutRecorderControl(&window);
        recorder->setHotKeySuspender([&] {
            ++active;
            return HotKeySuspension([&] { --active; });
        });
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::mouseClick(recorder, Qt::LeftButton);
        EXPECT_EQ(active, 1);
    }
    EXPECT_EQ(active, 0);
}

TEST(ShortcutRecorderViews, BindingsAreReadOnEveryUpdateAndWrittenByRecording) {
    QuickCreateShortcut quickCreate = kCommandM;
    ShortcutRecorderView required(Binding<QuickCreateShortcut>{
        [&] { return quickCreate; }, [&](const QuickCreateShortcut& s) { quickCreate = s; }});
    EXPECT_EQ(required.appearance().text, "Super+M");
    EXPECT_EQ(required.placeholder(), "Set Shortcut");
    quickCreate = defaultQuickCreateShortcut;
    required.updateFromBinding();
    EXPECT_EQ(required.appearance().text, "Ctrl+Alt+N");

    std::optional<QuickCreateShortcut> direct;
    OptionalShortcutRecorderView optional(Binding<std::optional<QuickCreateShortcut>>{
        [&] { return direct; }, [&](const std::optional<QuickCreateShortcut>& s) { direct = s; }});
    EXPECT_EQ(optional.appearance(), (Appearance{"Set Shortcut", false, false}));
    optional.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&optional));
    QTest::mouseClick(&optional, Qt::LeftButton);
    QTest::keyClick(&optional, Qt::Key_M, Qt::MetaModifier);
    EXPECT_EQ(direct, kCommandM);
    EXPECT_EQ(optional.appearance(), (Appearance{"Super+M", true, false}));
    direct.reset();  // cleared by the owner's button
    optional.updateFromBinding();
    EXPECT_EQ(optional.appearance(), (Appearance{"Set Shortcut", false, false}));
}
