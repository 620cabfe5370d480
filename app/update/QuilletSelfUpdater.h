#pragma once

#include <functional>
#include <memory>

#include "app/observation/Published.h"
#include "app/observation/Subscription.h"
#include "app/update/QuilletSelfUpdateConfiguration.h"
#include "app/update/SoftwareUpdateController.h"

namespace quillet {

// Whether updating is available, and whether a check can start now. The composition root builds
// the one instance and hands it to the status menu and the application's commands.
class QuilletSelfUpdater {
public:
    // Builds the update engine for a usable configuration; the composition root supplies the
    // ports and the running version and bundle.
    using ControllerFactory =
        std::function<std::unique_ptr<SoftwareUpdateController>(const QuilletSelfUpdateConfiguration&)>;

    // Calls `makeController` once, and only when `configuration` is usable.
    QuilletSelfUpdater(QuilletSelfUpdateConfiguration configuration, const ControllerFactory& makeController);
    QuilletSelfUpdater(const QuilletSelfUpdater&) = delete;
    QuilletSelfUpdater& operator=(const QuilletSelfUpdater&) = delete;

    // False at first; follows the engine's flag when there is one, false for good when not.
    Published<bool> canCheckForUpdates{false};
    const QuilletSelfUpdateConfiguration configuration;
    // Present exactly when the configuration is usable.
    const std::unique_ptr<SoftwareUpdateController> updaterController;

    // Starts a user-initiated check; nothing happens without a controller.
    void checkForUpdates();

private:
    // Keeps the engine's flag mirrored; declared last so it stops before the rest goes.
    Subscription canCheckForUpdatesObservation_;
};

}  // namespace quillet
