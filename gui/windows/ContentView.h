#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "app/observation/Subscription.h"
#include "app/settings/AppPresence.h"

class QButtonGroup;
class QLabel;

namespace quillet {

class AppSettings;

// The cards the main window holds, built afresh for every main window by the one who knows
// their collaborators.
struct ContentViewParts {
    using Card = std::function<QWidget*(QWidget* parent)>;
    // The cards under the header, top to bottom: extension status, creation guide, folder access,
    // shortcuts, uninstall.
    std::vector<Card> cards;
    // The file types list, below the cards.
    Card fileTypes;
    // What this desktop offers for a presence (no tray, say), shown under the choice; empty
    // for nothing to say.
    std::function<std::string(AppPresence)> presenceNote;
    // The welcome walkthrough; it calls `onFinish` once the user is done with it.
    std::function<QWidget*(std::function<void()> onFinish, QWidget* parent)> onboarding;
};

// The main window's content: a header with the App Presence choice above the cards, the file
// types list below, all in one scroll area; the welcome walkthrough over it while onboarding is not completed;
// and the window grown once to a comfortable height when first shown.
class ContentView final : public QWidget {
public:
    static constexpr int kPresenceColumnMaximumWidth = 340;
    static constexpr int kPresencePickerWidth = 320;

    ContentView(AppSettings& settings, const std::string& versionLine, ContentViewParts parts,
                QWidget* parent = nullptr);
    ~ContentView() override;

    // The walkthrough sheet while it is shown.
    QDialog* onboardingSheet() const { return sheet_; }
    bool didApplyActivatedWindowSize() const { return didApplyActivatedWindowSize_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeHeader(const std::string& versionLine);
    void showPresence();
    void presentOnboarding();
    void applyActivatedWindowSizeIfNeeded();
    void growOnceFramed(int attemptsLeft);
    // How many times, 20 ms apart, the window is looked at for its frame before it is grown
    // without one (a display without a window manager never frames it).
    static constexpr int kFrameAttempts = 25;

    AppSettings& settings_;
    ContentViewParts parts_;
    QButtonGroup* presenceButtons_ = nullptr;
    QLabel* presenceDescription_ = nullptr;
    QLabel* presenceNote_ = nullptr;
    QPointer<QDialog> sheet_;
    bool didApplyActivatedWindowSize_ = false;
    std::vector<Subscription> subscriptions_;
};

}  // namespace quillet
