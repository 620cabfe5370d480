#include "programs/quillet-app/QtProgram.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include "platform/linux/DisplayPlatform.h"
#include "platform/linux/QtStandardTexts.h"
#include "programs/quillet-app/DesktopSessionEnvironment.h"
#include "platform/linux/PlatformTheme.h"
#include "platform/linux/QtApplicationIcon.h"
#include "platform/posix/ResourceBundle.h"
#include "shared/Identifiers.h"
#include "shared/paths/UserEnvironment.h"

namespace quillet {

namespace {

// Puts the application's icon on its windows when the first of them shows. Set at start, its
// renders were read and sent to the X server as a property of the tray icon's window, and again
// whenever the tray recreated it, at every launch and for no one to see.
class IconOnFirstWindow final : public QObject {
public:
    IconOnFirstWindow(QString iconDirectory, QObject* parent) : QObject(parent), iconDirectory_(std::move(iconDirectory)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || done_) return false;
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->isWindow() || widget->windowType() == Qt::Popup ||
            widget->windowType() == Qt::ToolTip || widget->inherits("QSystemTrayIconSys"))
            return false;
        done_ = true;
        QApplication::setWindowIcon(applicationIcon(iconDirectory_.toStdString()));
        deleteLater();
        return false;
    }

private:
    QString iconDirectory_;
    bool done_ = false;
};

}  // namespace

QtProgram::QtProgram(std::vector<std::string> arguments, const UserEnvironment& environment,
                     const ResourceBundle& resources, Start what)
    : arguments_(std::move(arguments)),
      iconDirectory_(resources.resourceDirectory().string()),
      desktop_(environment.currentDesktop) {
    if (arguments_.empty()) arguments_.emplace_back("quillet");
    if (what == Start::eventLoop) {
        start(false);
        return;
    }
    platform_ = availableDisplayPlatform(desktopSessionAddresses(environment));
    if (platform_) {
        arguments_.insert(arguments_.begin() + 1, {"-platform", *platform_});
        start(true);
    } else if (what == Start::windows) {
        arguments_.insert(arguments_.begin() + 1, {"-platform", "offscreen"});
        start(true);
    } else if (what == Start::windowsElseEventLoop) {
        start(false);
    }
}

QtProgram::~QtProgram() = default;

void QtProgram::startEventLoop() {
    if (!QCoreApplication::instance()) start(false);
}

void QtProgram::start(bool windows) {
    argv_.clear();
    for (auto& argument : arguments_) argv_.push_back(argument.data());
    argv_.push_back(nullptr);
    argc_ = static_cast<int>(arguments_.size());
    if (windows) {
        // The desktop's own look: on GTK desktops Qt's GTK platform theme (from the package
        // qt6-gtk-platformtheme) brings the palette, dark mode and icon theme. A theme the user
        // chose is kept, and elsewhere (Plasma, LXQt) Qt already loads the desktop's own.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORMTHEME")) {
            if (auto theme = platformThemeFor(desktop_)) qputenv("QT_QPA_PLATFORMTHEME", QByteArray::fromStdString(*theme));
        }
        // GNOME's dark mode, which GTK 3 (and so Qt's GTK theme) learns only through GTK_THEME.
        if (qgetenv("QT_QPA_PLATFORMTHEME") == "gtk3" && !qEnvironmentVariableIsSet("GTK_THEME")) {
            if (auto dark = gtkThemeForDarkMode()) qputenv("GTK_THEME", QByteArray::fromStdString(*dark));
        }
        application_ = std::make_unique<QApplication>(argc_, argv_.data());
        QApplication::setApplicationDisplayName(QStringLiteral("Quillet+"));
        QApplication::setDesktopFileName(QString::fromUtf8(kBundleIdentifier));
        application_->installEventFilter(
            new IconOnFirstWindow(QString::fromStdString(iconDirectory_), application_.get()));
        QApplication::setQuitOnLastWindowClosed(false);
        installQtStandardTexts(*application_);
    } else {
        application_ = std::make_unique<QCoreApplication>(argc_, argv_.data());
    }
    QCoreApplication::setApplicationName(QStringLiteral("quillet"));
}

}  // namespace quillet
