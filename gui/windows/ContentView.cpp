#include "gui/windows/ContentView.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "app/settings/AppSettings.h"
#include "shared/text/LinuxTexts.h"
#include "app/windows/MainWindowGrowth.h"
#include "gui/style/AppStyle.h"
#include "gui/style/QtSymbolIcons.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {

QLabel* label(const QString& text, const QFont& font, const QColor& color, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setFont(font);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, color);
    l->setPalette(palette);
    return l;
}

}  // namespace

ContentView::ContentView(AppSettings& settings, const std::string& versionLine, ContentViewParts parts,
                         QWidget* parent)
    : QWidget(parent), settings_(settings), parts_(std::move(parts)) {
    // One scroll area for the whole window: the header, the cards and the file types list move
    // together, so no pane shrinks to nothing and one wheel scrolls everything.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("mainScrollArea"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFocusPolicy(Qt::NoFocus);  // Tab stops at the controls; the pane scrolls to each
    auto* column = new QWidget(scroll);
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setSpacing(12);
    columnLayout->addWidget(makeHeader(versionLine));
    for (const auto& card : parts_.cards) columnLayout->addWidget(card(column));
    if (parts_.fileTypes) {
        QWidget* list = parts_.fileTypes(this);
        // The list scrolls on its own elsewhere; here its content joins the column and the
        // list itself stays, hidden, to keep its model and its rows up to date.
        if (auto* area = qobject_cast<QScrollArea*>(list)) {
            QWidget* content = area->takeWidget();
            area->hide();
            columnLayout->addWidget(content);
        } else {
            columnLayout->addWidget(list);
        }
    }
    columnLayout->addStretch(1);
    scroll->setWidget(column);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    subscriptions_.push_back(settings_.appPresence.subscribe([this](const AppPresence&) { showPresence(); }));
    // Turned false while the window is open ("Show Welcome Walkthrough"): the walkthrough again.
    subscriptions_.push_back(settings_.hasCompletedOnboarding.subscribe([this](const bool& completed) {
        if (!completed && isVisible()) presentOnboarding();
    }));
    showPresence();
}

ContentView::~ContentView() = default;

QWidget* ContentView::makeHeader(const std::string& versionLine) {
    auto* header = new QWidget(this);
    const QPalette& palette = header->palette();
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);

    auto* symbol = new QLabel(header);
    symbol->setPixmap(symbolIcon("doc.badge.plus", appstyle::accent(palette)).pixmap(40, 40));
    row->addWidget(symbol, 0, Qt::AlignVCenter);

    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    titles->addWidget(label(QStringLiteral("Quillet+"), appstyle::appFont(22, QFont::DemiBold),
                            palette.color(QPalette::WindowText), header));
    titles->addWidget(label(QString::fromUtf8(translate(linuxtexts::kMainWindowTagline)),
                            appstyle::calloutFont(QFont::Normal), appstyle::secondaryText(palette), header));
    titles->addWidget(label(QString::fromStdString(versionLine), appstyle::captionFont(QFont::Normal),
                            appstyle::tertiaryText(palette), header));
    row->addLayout(titles);
    row->addStretch(1);

    auto* presence = new QWidget(header);
    presence->setMaximumWidth(kPresenceColumnMaximumWidth);
    auto* presenceColumn = new QVBoxLayout(presence);
    presenceColumn->setContentsMargins(0, 0, 0, 0);
    presenceColumn->setSpacing(6);
    presenceColumn->addWidget(label(QString::fromUtf8(translate("App Presence")),
                                    appstyle::captionFont(QFont::DemiBold), appstyle::secondaryText(palette), presence),
                              0, Qt::AlignRight);
    // Two segments, "Taskbar" and "Tray": choosing one writes the setting at once.
    auto* segments = new QWidget(presence);
    segments->setFixedWidth(kPresencePickerWidth);
    auto* segmentRow = new QHBoxLayout(segments);
    segmentRow->setContentsMargins(0, 0, 0, 0);
    segmentRow->setSpacing(0);
    presenceButtons_ = new QButtonGroup(segments);
    presenceButtons_->setExclusive(true);
    for (const AppPresence choice : kOfferedAppPresences) {
        auto* button = new QPushButton(QString::fromUtf8(title(choice).data(), static_cast<int>(title(choice).size())),
                                       segments);
        button->setCheckable(true);
        button->setAccessibleName(button->text());
        presenceButtons_->addButton(button, static_cast<int>(choice));
        segmentRow->addWidget(button);
    }
    connect(presenceButtons_, &QButtonGroup::idClicked, this,
            [this](int id) {
                settings_.appPresence.set(static_cast<AppPresence>(id));
                showPresence();  // a choice that was not stored goes back
            });
    presenceColumn->addWidget(segments, 0, Qt::AlignRight);
    presenceDescription_ = label({}, appstyle::captionFont(QFont::Normal), appstyle::tertiaryText(palette), presence);
    presenceDescription_->setAlignment(Qt::AlignRight);
    presenceDescription_->setWordWrap(true);
    presenceColumn->addWidget(presenceDescription_);
    presenceNote_ = label({}, appstyle::captionFont(QFont::Normal), appstyle::secondaryText(palette), presence);
    presenceNote_->setObjectName(QStringLiteral("presenceNote"));
    presenceNote_->setAlignment(Qt::AlignRight);
    presenceNote_->setWordWrap(true);
    presenceColumn->addWidget(presenceNote_);
    row->addWidget(presence, 0, Qt::AlignRight | Qt::AlignVCenter);
    return header;
}

void ContentView::showPresence() {
    const AppPresence presence = settings_.appPresence.get();
    if (auto* button = presenceButtons_->button(static_cast<int>(presence))) button->setChecked(true);
    const auto text = presenceDescription(presence);
    presenceDescription_->setText(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
    const std::string note = parts_.presenceNote ? parts_.presenceNote(presence) : std::string();
    presenceNote_->setText(QString::fromStdString(note));
    presenceNote_->setVisible(!note.empty());
}

void ContentView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    if (!settings_.hasCompletedOnboarding.get()) presentOnboarding();
    applyActivatedWindowSizeIfNeeded();
}

void ContentView::presentOnboarding() {
    if (sheet_ || !parts_.onboarding) return;
    // A window-modal dialog of the main window: the desktop's counterpart of a sheet.
    auto* sheet = new QDialog(window());
    sheet->setWindowTitle(QString::fromUtf8(translate("Welcome to Quillet+")));
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(parts_.onboarding([sheet] { sheet->accept(); }, sheet));
    // Dismissed by Escape or the close button, it counts as seen: it comes back when asked for
    // in the Help menu, not at every launch (at login too).
    QObject::connect(sheet, &QDialog::rejected, this, [this] { settings_.hasCompletedOnboarding.set(true); });
    sheet_ = sheet;
    sheet->open();
}

void ContentView::applyActivatedWindowSizeIfNeeded() {
    if (didApplyActivatedWindowSize_) return;
    // One turn later, once the window exists and has its final size.
    QTimer::singleShot(0, this, [this] { growOnceFramed(kFrameAttempts); });
}

void ContentView::growOnceFramed(int attemptsLeft) {
    if (didApplyActivatedWindowSize_) return;
    QWidget* host = window();
    if (!host || !host->isWindow() || !host->isVisible()) return;
    // Until the window manager has framed the window its title bar's height is unknown, and a
    // top edge placed then would push the title bar above the screen.
    if (host->frameGeometry() == host->geometry() && attemptsLeft > 0 &&
        !host->windowFlags().testFlag(Qt::FramelessWindowHint) &&
        QGuiApplication::platformName() != QLatin1String("offscreen")) {
        QTimer::singleShot(20, this, [this, attemptsLeft] { growOnceFramed(attemptsLeft - 1); });
        return;
    }
    didApplyActivatedWindowSize_ = true;
    QScreen* screen = host->screen() ? host->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect visible = screen->availableGeometry();
    const QRect frame = host->frameGeometry();
    const QRect content = host->geometry();
    const int decorationsAbove = content.y() - frame.y();
    const int decorations = frame.height() - content.height();
    const auto grown = MainWindowGrowth::grownFrame(
        {double(visible.x()), double(visible.y()), double(visible.width()), double(visible.height())},
        {double(frame.x()), double(frame.y()), double(frame.width()), double(frame.height())},
        double(content.height()));
    if (grown) {
        host->setGeometry(content.x(), int(grown->y) + decorationsAbove, content.width(),
                          int(grown->height) - decorations);
    } else if (frame.y() < visible.y()) {
        // Tall enough already, but its title bar is above the screen: brought down onto it.
        host->move(frame.x(), visible.y());
    }
}

}  // namespace quillet
