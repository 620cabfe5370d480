#include "gui/windows/OnboardingView.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/windows/OnboardingModel.h"
#include "gui/style/AppStyle.h"
#include "gui/windows/OnboardingPages.h"
#include "gui/windows/WindowStyle.h"
#include "shared/text/Translation.h"

namespace quillet {

// One 7 by 7 dot per page, 7 apart; the current page's dot in the accent colour.
class OnboardingPageDots : public QWidget {
public:
    explicit OnboardingPageDots(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("pageDots"));
        setFixedSize(OnboardingModel::kPageCount * 14 - 7, 7);
    }
    void setCurrent(int current) {
        setProperty("current", current);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        const int current = property("current").toInt();
        for (int i = 0; i < OnboardingModel::kPageCount; ++i) {
            painter.setBrush(i == current ? appstyle::accent(palette())
                                          : appstyle::withAlpha(appstyle::secondaryText(palette()), 0.3));
            painter.drawEllipse(QRectF(i * 14, 0, 7, 7));
        }
    }
};

namespace {

// The bar under the pages, a shade apart from the page background.
class NavigationBar : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), windowstyle::quaternaryFill(palette()));
        painter.fillRect(QRect(0, 0, width(), 1), appstyle::withAlpha(appstyle::separator(palette()), 0.6));
    }
};

QPushButton* barButton(const char* title, const char* name, QWidget* parent, bool borderless) {
    auto* button = new QPushButton(QString::fromUtf8(translate(title)), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setFlat(borderless);
    // Return belongs to the default button alone, wherever the focus is.
    button->setAutoDefault(false);
    return button;
}

}  // namespace

OnboardingView::OnboardingView(OnboardingModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setObjectName(QStringLiteral("onboarding"));
    setFixedSize(kWidth, kHeight);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    pageArea_ = new QWidget(this);
    pageArea_->setObjectName(QStringLiteral("pageArea"));
    pageArea_->installEventFilter(this);
    column->addWidget(pageArea_, 1);

    auto* bar = new NavigationBar(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(24, 16, 24, 16);
    row->setSpacing(12);
    back_ = barButton(OnboardingModel::kBackTitle, "back", bar, true);
    skip_ = barButton(OnboardingModel::kSkipTitle, "skip", bar, true);
    QPalette skipPalette = skip_->palette();
    skipPalette.setColor(QPalette::ButtonText, appstyle::secondaryText(palette()));
    skip_->setPalette(skipPalette);
    primary_ = barButton(OnboardingModel::kNextTitle, "primary", bar, false);
    primary_->setDefault(true);
    dots_ = new OnboardingPageDots(bar);
    primary_->setMinimumWidth(104);
    // Back and Skip keep their place when hidden, so the dots stay put between pages.
    for (QPushButton* button : {back_, skip_}) {
        QSizePolicy keepPlace = button->sizePolicy();
        keepPlace.setRetainSizeWhenHidden(true);
        button->setSizePolicy(keepPlace);
    }
    row->addWidget(back_);
    row->addStretch(1);
    row->addWidget(dots_);
    row->addStretch(1);
    row->addWidget(skip_);
    row->addWidget(primary_);
    column->addWidget(bar);

    connect(back_, &QPushButton::clicked, this, [this] { model_.back(); });
    connect(skip_, &QPushButton::clicked, this, [this] { model_.skip(); });
    connect(primary_, &QPushButton::clicked, this, [this] { model_.primary(); });
    model_.onPageChanged = [this](int from, int to) { showPage(from, to); };

    currentPage_ = makeOnboardingPage(model_.page(), model_.shortcutText(), model_.words(), pageArea_);
    updateBar();

    // A shortcut recorded while the walkthrough is open shows on the page at once.
    shortcutChanges_ = model_.observeShortcut([this] {
        settleAnimation();
        delete currentPage_;
        currentPage_ = makeOnboardingPage(model_.page(), model_.shortcutText(), model_.words(), pageArea_);
        currentPage_->setGeometry(pageRect());
        currentPage_->show();
    });
}

OnboardingView::~OnboardingView() {
    // The model's callback must not reach a half-destroyed view.
    model_.onPageChanged = nullptr;
}

QRect OnboardingView::pageRect() const { return pageArea_->rect().adjusted(40, 44, -40, 0); }

bool OnboardingView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pageArea_ && event->type() == QEvent::Resize) {
        settleAnimation();
        if (currentPage_) currentPage_->setGeometry(pageRect());
    }
    return QWidget::eventFilter(watched, event);
}

void OnboardingView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        primary_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void OnboardingView::updateBar() {
    back_->setVisible(model_.showsBack());
    skip_->setVisible(model_.showsSkip());
    primary_->setText(QString::fromStdString(model_.primaryTitle()));
    dots_->setCurrent(model_.page());
}

// Ends a running change of page at its end state: the incoming page in place, the outgoing gone.
void OnboardingView::settleAnimation() {
    if (animation_) {
        animation_->stop();
        delete animation_;
        animation_ = nullptr;
    }
    delete outgoingPage_;
    if (currentPage_) {
        currentPage_->setGraphicsEffect(nullptr);
        currentPage_->setGeometry(pageRect());
    }
}

// The outgoing page moves out to the leading edge while fading, the incoming one comes in from
// the trailing edge while fading in, both on the same ease-in-out curve.
void OnboardingView::showPage(int, int to) {
    settleAnimation();
    updateBar();
    outgoingPage_ = currentPage_;
    currentPage_ = makeOnboardingPage(to, model_.shortcutText(), model_.words(), pageArea_);
    const QRect place = pageRect();
    const int distance = layoutDirection() == Qt::RightToLeft ? -pageArea_->width() : pageArea_->width();
    currentPage_->setGeometry(place.translated(distance, 0));
    currentPage_->show();

    animation_ = new QParallelAnimationGroup(this);
    const QEasingCurve curve(QEasingCurve::InOutQuad);
    auto slide = [&](QWidget* page, QPoint from, QPoint end, double opacityFrom, double opacityTo) {
        auto* opacity = new QGraphicsOpacityEffect(page);
        opacity->setOpacity(opacityFrom);
        page->setGraphicsEffect(opacity);
        auto* move = new QPropertyAnimation(page, "pos", animation_);
        move->setStartValue(from);
        move->setEndValue(end);
        move->setDuration(kAnimationMilliseconds);
        move->setEasingCurve(curve);
        auto* fade = new QPropertyAnimation(opacity, "opacity", animation_);
        fade->setStartValue(opacityFrom);
        fade->setEndValue(opacityTo);
        fade->setDuration(kAnimationMilliseconds);
        fade->setEasingCurve(curve);
        animation_->addAnimation(move);
        animation_->addAnimation(fade);
    };
    if (outgoingPage_) slide(outgoingPage_, place.topLeft(), place.topLeft() - QPoint(distance, 0), 1, 0);
    slide(currentPage_, place.topLeft() + QPoint(distance, 0), place.topLeft(), 0, 1);
    connect(animation_, &QParallelAnimationGroup::finished, this, [this] {
        animation_->deleteLater();
        animation_ = nullptr;
        delete outgoingPage_;
        if (currentPage_) currentPage_->setGraphicsEffect(nullptr);
    });
    animation_->start();
}

}  // namespace quillet
