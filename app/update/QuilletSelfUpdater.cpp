#include "app/update/QuilletSelfUpdater.h"

namespace quillet {

namespace {

std::unique_ptr<SoftwareUpdateController> controllerFor(const QuilletSelfUpdateConfiguration& configuration,
                                                        const QuilletSelfUpdater::ControllerFactory& make) {
    if (!configuration.isConfigured() || !make) return nullptr;
    return make(configuration);
}

}  // namespace

QuilletSelfUpdater::QuilletSelfUpdater(QuilletSelfUpdateConfiguration configuration_,
                                       const ControllerFactory& makeController)
    : configuration(std::move(configuration_)), updaterController(controllerFor(configuration, makeController)) {
    if (!updaterController) return;
    // The engine publishes on the main thread only, so its changes are assigned as they come:
    // the current value at once, then every change.
    canCheckForUpdates.set(updaterController->canCheckForUpdates.get());
    canCheckForUpdatesObservation_ =
        updaterController->canCheckForUpdates.subscribe([this](const bool& value) { canCheckForUpdates.set(value); });
}

void QuilletSelfUpdater::checkForUpdates() {
    if (updaterController) updaterController->checkForUpdates();
}

}  // namespace quillet
