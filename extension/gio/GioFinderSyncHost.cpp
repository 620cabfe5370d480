#include "extension/gio/GioFinderSyncHost.h"

#include <gio/gio.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "extension/gio/CaughtExceptionLog.h"
#include "shared/Identifiers.h"

namespace quillet {

void GioFinderSyncHost::setDirectoryURLs(const std::vector<std::filesystem::path>& directories) {
    directories_ = directories;
}

std::optional<std::filesystem::path> GioFinderSyncHost::targetedURL() const {
    return context_.targetedURL;
}

std::vector<std::filesystem::path> GioFinderSyncHost::selectedItemURLs() const {
    return context_.selectedItemURLs;
}

namespace {

void launchFinished(GObject*, GAsyncResult* result, gpointer data) {
    std::unique_ptr<FinderSyncHost::OpenCompletion> completion(static_cast<FinderSyncHost::OpenCompletion*>(data));
    GError* error = nullptr;
    const bool launched = g_app_info_launch_default_for_uri_finish(result, &error);
    std::optional<std::string> failure;
    if (!launched) failure = error && error->message ? error->message : "unknown error";
    if (error) g_error_free(error);
    // A C callback: nothing may escape into GLib.
    try {
        (*completion)(failure);
    } catch (...) {
        logCaughtException("Reporting the forwarded create request");
    }
}

}  // namespace

void GioFinderSyncHost::openURL(const std::string& url, OpenCompletion completion) {
    auto* pending = new OpenCompletion(std::move(completion));
    // The program started for the link learns which file manager to show the new file in.
    GAppLaunchContext* context = g_app_launch_context_new();
    const std::string self = std::to_string(getpid());
    g_app_launch_context_setenv(context, kRequestingProcessVariable, self.c_str());
    g_app_info_launch_default_for_uri_async(url.c_str(), context, nullptr, launchFinished, pending);
    g_object_unref(context);
}

}  // namespace quillet
