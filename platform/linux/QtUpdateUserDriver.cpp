#include "platform/linux/QtUpdateUserDriver.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include "shared/text/Translation.h"

namespace quillet {

namespace {

QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

bool isWebAddress(const QUrl& url) {
    return url.isValid() && (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"));
}

// Release notes come from the feed: shown, never fetched from. Images and other resources they
// name are not loaded (no local file or address is read on their behalf), and only web links
// open, in the browser.
class ReleaseNotesView final : public QTextBrowser {
public:
    explicit ReleaseNotesView(QWidget* parent) : QTextBrowser(parent) {
        setReadOnly(true);
        setOpenLinks(false);
        connect(this, &QTextBrowser::anchorClicked, this, [](const QUrl& url) {
            if (isWebAddress(url)) QDesktopServices::openUrl(url);
        });
    }

    QVariant loadResource(int, const QUrl&) override { return {}; }
};

// The progress window: Cancel, Escape and the close button all ask to cancel; the window stays
// until the updater hides it.
class ProgressWindow final : public QDialog {
public:
    std::function<void()> onReject;

    void reject() override {
        // A copy: the handler may hide the window, which clears onReject.
        if (auto handler = onReject) handler();
    }
};

}  // namespace

QtUpdateUserDriver::QtUpdateUserDriver() = default;

QtUpdateUserDriver::~QtUpdateUserDriver() { hideProgress(); }

void QtUpdateUserDriver::showAlert(const Alert& alert) { alert_.runModal(alert); }

bool QtUpdateUserDriver::offerUpdate(const UpdateOffer& offer) {
    QDialog dialog;
    dialog.setObjectName(kOfferDialogName);
    dialog.setWindowTitle(QGuiApplication::applicationDisplayName());
    dialog.setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(&dialog);

    auto* title = new QLabel(QString::fromUtf8(translate("A new version of Quillet+ is available!")), &dialog);
    title->setObjectName(kOfferTitleName);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);

    // The versions come from the feed; markup in them is shown as typed.
    // TRANSLATORS: %1 is the new version, %2 the installed one.
    auto* text = new QLabel(QString::fromUtf8(translate("Quillet+ %1 is now available\u2014you have %2. "
                                                        "Would you like to install it now?"))
                                .arg(fromUtf8(offer.displayVersion), fromUtf8(offer.currentDisplayVersion)),
                            &dialog);
    text->setObjectName(kOfferTextName);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    // Wide enough that the sentence wraps once, not word by word.
    text->setMinimumWidth(420);
    layout->addWidget(text);

    if (!offer.releaseNotes.empty()) {
        auto* notes = new ReleaseNotesView(&dialog);
        notes->setObjectName(kReleaseNotesName);
        const QString content = fromUtf8(offer.releaseNotes);
        if (Qt::mightBeRichText(content)) notes->setHtml(content);
        else notes->setPlainText(content);
        notes->setMinimumSize(420, 200);
        layout->addWidget(notes, 1);
    } else if (const QUrl url(fromUtf8(offer.releaseNotesURL)); isWebAddress(url)) {
        auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                                    .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(),
                                         QString::fromUtf8(translate("Release notes")).toHtmlEscaped()),
                                &dialog);
        link->setObjectName(kReleaseNotesLinkName);
        link->setTextFormat(Qt::RichText);
        link->setTextInteractionFlags(Qt::TextBrowserInteraction);
        link->setOpenExternalLinks(true);
        layout->addWidget(link);
    }

    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* notNow = buttons->addButton(QString::fromUtf8(translate("Not Now")), QDialogButtonBox::RejectRole);
    notNow->setObjectName(kNotNowButtonName);
    notNow->setAutoDefault(false);
    QPushButton* install = buttons->addButton(QString::fromUtf8(translate("Install")), QDialogButtonBox::AcceptRole);
    install->setObjectName(kInstallButtonName);
    install->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    install->setFocus();

    return dialog.exec() == QDialog::Accepted;
}

void QtUpdateUserDriver::showProgress(const std::string& title, std::function<void()> onCancel) {
    hideProgress();
    onCancel_ = std::move(onCancel);
    auto window = std::make_unique<ProgressWindow>();
    window->setObjectName(kProgressWindowName);
    window->setWindowTitle(QGuiApplication::applicationDisplayName());
    auto* layout = new QVBoxLayout(window.get());
    auto* label = new QLabel(fromUtf8(title), window.get());
    label->setObjectName(kProgressLabelName);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
    progressBar_ = new QProgressBar(window.get());
    progressBar_->setObjectName(kProgressBarName);
    progressBar_->setRange(0, 0);  // busy until the size is known
    progressBar_->setMinimumWidth(320);
    layout->addWidget(progressBar_);
    auto* buttons = new QDialogButtonBox(window.get());
    cancelButton_ = buttons->addButton(QString::fromUtf8(translate("Cancel")), QDialogButtonBox::RejectRole);
    cancelButton_->setObjectName(kCancelButtonName);
    QObject::connect(buttons, &QDialogButtonBox::rejected, window.get(), &QDialog::reject);
    layout->addWidget(buttons);
    window->onReject = [this] {
        // Once: the button goes grey, and the callback is gone before it runs (it may hide us).
        if (!onCancel_) return;
        cancelButton_->setEnabled(false);
        auto cancel = std::move(onCancel_);
        onCancel_ = nullptr;
        cancel();
    };
    window->show();
    progress_ = std::move(window);
}

void QtUpdateUserDriver::setProgress(std::uint64_t received, std::optional<std::uint64_t> expected) {
    if (!progressBar_) return;
    if (!expected || *expected == 0) {
        progressBar_->setRange(0, 0);
        return;
    }
    // Per mille, so archives beyond the bar's int range still fill it.
    constexpr int scale = 1000;
    progressBar_->setRange(0, scale);
    const std::uint64_t done = std::min(received, *expected);
    progressBar_->setValue(static_cast<int>(done * scale / *expected));
}

void QtUpdateUserDriver::hideProgress() {
    onCancel_ = nullptr;
    progressBar_ = nullptr;
    cancelButton_ = nullptr;
    if (!progress_) return;
    static_cast<ProgressWindow*>(progress_.get())->onReject = nullptr;
    progress_->hide();
    // Later: hiding may be asked from the window's own Cancel handler.
    progress_.release()->deleteLater();
}

}  // namespace quillet
