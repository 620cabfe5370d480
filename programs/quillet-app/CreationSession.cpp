#include "programs/quillet-app/CreationSession.h"

#include <QApplication>
#include <QDBusConnection>
#include <QEventLoop>

#include <optional>
#include <string>
#include <vector>

#include "app/access/SecurityScopedFolderAccess.h"
#include "programs/quillet-app/DesktopSessionEnvironment.h"
#include "app/creation/FolderAccessCreation.h"
#include "app/requests/CreateRequestHandler.h"
#include "shared/settings/DefaultsSuite.h"
#include "platform/posix/NewFileWriter.h"
#include "platform/linux/DBusFileViewer.h"
#include "platform/linux/DisplayPlatform.h"
#include "platform/linux/NautilusFrontFolder.h"
#include "platform/linux/QtApplicationActivation.h"
#include "platform/linux/QtApplicationWindows.h"
#include "platform/linux/QtFolderPanel.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtModalAlert.h"
#include "platform/linux/QtURLOpener.h"
#include "platform/posix/AmbientScopedAccess.h"
#include "platform/posix/LastComponentDisplayNames.h"
#include "platform/posix/NoDisplayApplication.h"
#include "platform/posix/NoDisplayFolderPanel.h"
#include "platform/posix/PendingWorkQueue.h"
#include "platform/posix/PosixFolderBookmarks.h"
#include "platform/posix/StderrModalAlert.h"
#include "shared/paths/UserEnvironment.h"

namespace quillet::cli {

// Declared in the order they are built; destroyed in reverse, the application last.
struct CreationSession::Parts {
    Parts(const UserEnvironment& environment, const ResourceBundle& resources)
        : environment(environment), resources(resources) {}

    const UserEnvironment& environment;
    const ResourceBundle& resources;
    // QApplication keeps references to these for its whole life.
    std::vector<std::string> arguments;
    std::vector<char*> argv;
    int argc = 0;
    std::unique_ptr<QApplication> application;
    std::unique_ptr<QCoreApplication> coreApplication;

    // One set of adapters or the other, owned here; the ports below point into them.
    struct QtAdapters {
        QtFolderPanel panel;
        QtApplicationActivation activation;
        QtApplicationWindows windows;
        QtModalAlert alert;
        QtURLOpener urlOpener;
        DBusFileViewer fileViewer{QDBusConnection::sessionBus(), urlOpener};
        QtMainQueue mainQueue;
    };
    struct NoDisplayAdapters {
        NoDisplayFolderPanel panel;
        NoDisplayApplication application;
        StderrModalAlert alert;
        PendingWorkQueue mainQueue;
    };
    std::unique_ptr<QtAdapters> qt;
    std::unique_ptr<NoDisplayAdapters> noDisplay;

    FolderPanel* panel = nullptr;
    ApplicationActivation* activation = nullptr;
    ApplicationWindows* windows = nullptr;
    ModalAlert* alert = nullptr;
    FileViewer* fileViewer = nullptr;
    MainQueue* mainQueue = nullptr;

    std::unique_ptr<DefaultsSuite> suite;
    PosixFolderBookmarks bookmarks;
    LastComponentDisplayNames displayNames;
    std::unique_ptr<SecurityScopedFolderAccess> access;
    std::unique_ptr<NewFileWriter> fileWriter;
    std::unique_ptr<FolderAccessCreation> creation;
    std::unique_ptr<CreateRequestHandler> handler;
};

CreationSession::CreationSession(const UserEnvironment& environment, const ResourceBundle& resources)
    : parts_(std::make_unique<Parts>(environment, resources)) {
    Parts& p = *parts_;
    if (const auto platform = availableDisplayPlatform(desktopSessionAddresses(environment))) {
        // The plugin that was found to work, whatever QT_QPA_PLATFORM says.
        p.arguments = {"quillet", "-platform", *platform};
        for (auto& argument : p.arguments) p.argv.push_back(argument.data());
        p.argv.push_back(nullptr);
        p.argc = static_cast<int>(p.arguments.size());
        p.application = std::make_unique<QApplication>(p.argc, p.argv.data());
        // Named as the application names itself, so its dialogs look the same.
        QApplication::setApplicationName(QStringLiteral("quillet"));
        QApplication::setApplicationDisplayName(QStringLiteral("Quillet+"));
        QApplication::setDesktopFileName(QString::fromUtf8(kBundleIdentifier));
        // Closing the last dialog must not end anything: the run ends when the request does.
        QApplication::setQuitOnLastWindowClosed(false);

        p.qt = std::make_unique<Parts::QtAdapters>();
        p.panel = &p.qt->panel;
        p.activation = &p.qt->activation;
        p.windows = &p.qt->windows;
        p.alert = &p.qt->alert;
        p.fileViewer = &p.qt->fileViewer;
        p.mainQueue = &p.qt->mainQueue;
    } else {
        p.noDisplay = std::make_unique<Parts::NoDisplayAdapters>();
        p.panel = &p.noDisplay->panel;
        p.activation = &p.noDisplay->application;
        p.windows = &p.noDisplay->application;
        p.alert = &p.noDisplay->alert;
        p.fileViewer = &p.noDisplay->application;
        p.mainQueue = &p.noDisplay->mainQueue;
    }

    p.suite = DefaultsSuite::openShared(environment.configurationHome);
    p.access = std::make_unique<SecurityScopedFolderAccess>(*p.suite, p.bookmarks, p.displayNames, p.panel,
                                                            p.activation);
    p.fileWriter = std::make_unique<NewFileWriter>(resources, std::make_shared<AmbientScopedAccess>());
    p.creation = std::make_unique<FolderAccessCreation>(*p.access, *p.fileWriter, environment);
    p.handler = std::make_unique<CreateRequestHandler>(*p.creation, *p.alert, *p.fileViewer, *p.activation,
                                                       *p.windows, *p.mainQueue);
}

CreationSession::~CreationSession() = default;

bool CreationSession::hasDisplay() const { return parts_->application != nullptr; }

FolderAccessCreation& CreationSession::creation() { return *parts_->creation; }

CreateRequestHandler& CreationSession::requestHandler() { return *parts_->handler; }

ResolvedCreationDestination CreationSession::resolveDestination(CreationDestinationMode mode) {
    Parts& p = *parts_;
    if (mode == CreationDestinationMode::frontFinderFolder && !QCoreApplication::instance()) {
        // Asking the file manager over the session bus needs an application object; a plain
        // one does, without a display.
        p.arguments = {"quillet"};
        p.argv = {p.arguments[0].data(), nullptr};
        p.argc = 1;
        p.coreApplication = std::make_unique<QCoreApplication>(p.argc, p.argv.data());
    }
    NautilusFrontFolder frontFolder{desktopSessionAddresses(p.environment)};
    return quillet::resolveDestination(mode, frontFolder, desktopFolderURL(p.environment));
}

void CreationSession::finish() {
    Parts& p = *parts_;
    if (p.noDisplay) p.noDisplay->mainQueue.runPending();
    if (!p.qt) return;
    // Posted work first; then each reveal ends with the file manager's answer or the call's
    // own time limit.
    QCoreApplication::processEvents();
    while (p.qt->fileViewer.pendingReveals() > 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    QCoreApplication::processEvents();
}

}  // namespace quillet::cli
