#include "programs/quillet-app/CreationSession.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QEventLoop>

#include <optional>
#include <string>
#include <vector>

#include "app/access/SecurityScopedFolderAccess.h"
#include "programs/quillet-app/DesktopSessionEnvironment.h"
#include "programs/quillet-app/QtProgram.h"
#include "app/creation/FolderAccessCreation.h"
#include "app/requests/CreateRequestHandler.h"
#include "shared/settings/DefaultsSuite.h"
#include "platform/posix/NewFileWriter.h"
#include "platform/linux/DBusFileViewer.h"
#include "platform/linux/FileManagerFrontFolder.h"
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
    // Windows where a display answers; no toolkit at all without one.
    QtProgram qtProgram{{"quillet"}, environment, resources, QtProgram::Start::windowsElseNothing};

    // One set of adapters or the other, owned here; the ports below point into them.
    struct QtAdapters {
        QtFolderPanel panel;
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

    // Stand in for the dialogs of a run that may not show any.
    StderrModalAlert terminalAlert;
    NoDisplayFolderPanel noPanel;

    FolderPanel* panel = nullptr;
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

CreationSession::CreationSession(const UserEnvironment& environment, const ResourceBundle& resources,
                                 Dialogs dialogs)
    : parts_(std::make_unique<Parts>(environment, resources)) {
    Parts& p = *parts_;
    if (p.qtProgram.hasDisplay()) {
        p.qt = std::make_unique<Parts::QtAdapters>();
        p.panel = &p.qt->panel;
        p.windows = &p.qt->windows;
        p.alert = &p.qt->alert;
        p.fileViewer = &p.qt->fileViewer;
        p.mainQueue = &p.qt->mainQueue;
    } else {
        p.noDisplay = std::make_unique<Parts::NoDisplayAdapters>();
        p.panel = &p.noDisplay->panel;
        p.windows = &p.noDisplay->application;
        p.alert = &p.noDisplay->alert;
        p.fileViewer = &p.noDisplay->application;
        p.mainQueue = &p.noDisplay->mainQueue;
    }

    if (dialogs == Dialogs::never) {
        // The file is still revealed; what would have been a dialog goes to standard error.
        p.alert = &p.terminalAlert;
        p.panel = &p.noPanel;
    }

    p.suite = DefaultsSuite::openShared(environment.configurationHome);
    p.access = std::make_unique<SecurityScopedFolderAccess>(*p.suite, p.bookmarks, p.displayNames, p.panel,
                                                            p.windows);
    p.fileWriter = std::make_unique<NewFileWriter>(resources, std::make_shared<AmbientScopedAccess>());
    p.fileWriter->setTemplates(UserTemplates(environment.templatesFolder()));
    p.creation = std::make_unique<FolderAccessCreation>(*p.access, *p.fileWriter, environment);
    p.handler = std::make_unique<CreateRequestHandler>(*p.creation, *p.alert, *p.fileViewer,
                                                       *p.windows, *p.mainQueue);
}

CreationSession::~CreationSession() = default;

bool CreationSession::hasDisplay() const { return parts_->qtProgram.hasDisplay(); }

FolderAccessCreation& CreationSession::creation() { return *parts_->creation; }

CreateRequestHandler& CreationSession::requestHandler() { return *parts_->handler; }

ResolvedCreationDestination CreationSession::resolveDestination(CreationDestinationMode mode) {
    Parts& p = *parts_;
    // Asking the file manager over the session bus needs an application object; a plain one
    // does, without a display.
    if (mode == CreationDestinationMode::frontFinderFolder) p.qtProgram.startEventLoop();
    FileManagerFrontFolder frontFolder{desktopSessionAddresses(p.environment)};
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
