#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "app/observation/Subscription.h"

class QButtonGroup;
class QLabel;

namespace quillet {

class AppSettings;

// The cards the main window holds, built afresh for every main window by the one who knows
// their collaborators.
struct ContentViewParts {
    using Card = std::function<QWidget*(QWidget* parent)>;
    // The upper pane's cards, top to bottom: extension status, creation guide, folder access,
    // shortcuts, uninstall.
    std::vector<Card> cards;
    // The lower pane: the file types list.
    Card fileTypes;
    // The welcome walkthrough; it calls `onFinish` once the user is done with it.
    std::function<QWidget*(std::function<void()> onFinish, QWidget* parent)> onboarding;
};

// The main window's content: a header with the App Presence choice above the cards, the file
// types list below, split; the welcome walkthrough over it while onboarding is not completed;
// and the window grown once to a comfortable height when first shown.
class ContentView final : public QWidget {
public:
    static constexpr int kUpperPaneMinimumHeight = 520;
    static constexpr int kLowerPaneMinimumHeight = 280;
    static constexpr int kLowerPaneIdealHeight = 360;
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

    AppSettings& settings_;
    ContentViewParts parts_;
    QButtonGroup* presenceButtons_ = nullptr;
    QLabel* presenceDescription_ = nullptr;
    QPointer<QDialog> sheet_;
    bool didApplyActivatedWindowSize_ = false;
    std::vector<Subscription> subscriptions_;
};

}  // namespace quillet
