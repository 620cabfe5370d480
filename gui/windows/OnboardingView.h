#pragma once

#include <QPointer>
#include <QWidget>

#include "app/observation/Subscription.h"

class QLabel;
class QParallelAnimationGroup;
class QPushButton;

namespace quillet {

class OnboardingModel;
class OnboardingPageDots;

// The welcome walkthrough: four pages over a bar with Back, the page dots, Skip and Next (or Get
// Started, on the last page). Return presses the default button. Finishing, by either button,
// goes to the model, which marks the walkthrough done and then calls the presenter's `onFinish`,
// which dismisses the sheet. The model outlives the view.
class OnboardingView : public QWidget {
public:
    static constexpr int kWidth = 660;
    static constexpr int kHeight = 580;
    static constexpr int kAnimationMilliseconds = 220;

    explicit OnboardingView(OnboardingModel& model, QWidget* parent = nullptr);
    ~OnboardingView() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Lays the page out whenever the page area changes size.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPage(int from, int to);
    void settleAnimation();
    void updateBar();
    QRect pageRect() const;

    OnboardingModel& model_;
    QWidget* pageArea_;
    QPointer<QWidget> currentPage_;
    QPointer<QWidget> outgoingPage_;
    QParallelAnimationGroup* animation_ = nullptr;
    QPushButton* back_;
    QPushButton* skip_;
    QPushButton* primary_;
    OnboardingPageDots* dots_;
    Subscription shortcutChanges_;
};

}  // namespace quillet
