#include "platform/linux/OnDemandUpdateAdapters.h"

#include <QObject>
#include <QTimer>

#include <utility>

#include "shared/logging/Logger.h"
#include "shared/text/Translation.h"

namespace quillet {

namespace {

// A transfer that never started: it reports its error from the event loop, after get() has
// returned, unless it is cancelled or dropped first.
class FailedTransfer final : public Transfer {
public:
    FailedTransfer(std::string error, UpdateTransport::Completion onFinish) : context_(std::make_unique<QObject>()) {
        QTimer::singleShot(0, context_.get(), [error = std::move(error), onFinish = std::move(onFinish)] {
            TransferResponse response;
            response.error = error;
            onFinish(std::move(response));
        });
    }
    void cancel() override { context_.reset(); }

private:
    std::unique_ptr<QObject> context_;
};

}  // namespace

OnDemandUpdateAdapters::OnDemandUpdateAdapters(std::filesystem::path module) : module_(std::move(module)) {}

OnDemandUpdateAdapters::~OnDemandUpdateAdapters() = default;

std::filesystem::path OnDemandUpdateAdapters::installedBeside(const std::filesystem::path& executable) {
    return (executable.parent_path() / ".." / "lib" / "quillet" / "quillet-update.so").lexically_normal();
}

UpdateModuleAdapters* OnDemandUpdateAdapters::adapters() {
    if (adapters_ || !loadError_.empty()) return adapters_.get();
    const Logger log(kAppSubsystem, "SelfUpdate");
    // Kept loaded (the loader never unloads it): Qt Network and OpenSSL keep state that outlives
    // any one use of them.
    library_ = std::make_unique<OnDemandLibrary>(module_.c_str());
    const auto entryPoint = library_->function<UpdateModuleAdapters*()>(kUpdateModuleEntryPoint);
    if (!entryPoint) {
        const std::string reason = library_->loaded() ? module_.string() + ": no " + kUpdateModuleEntryPoint
                                                      : library_->error();
        loadError_ = formatText(translate("The part of Quillet+ that downloads updates could not be loaded (%1)."),
                                {reason});
        log.error("Could not load the update module: %{public}s", reason);
        return nullptr;
    }
    adapters_.reset(entryPoint());
    log.log("Loaded the update module %{public}s", module_.string());
    return adapters_.get();
}

std::unique_ptr<Transfer> OnDemandUpdateAdapters::get(const TransferRequest& request, Progress onProgress,
                                                      Completion onFinish) {
    if (auto* loaded = adapters()) return loaded->transport->get(request, std::move(onProgress), std::move(onFinish));
    return std::make_unique<FailedTransfer>(loadError_, std::move(onFinish));
}

UpdateSignatureVerifier::Outcome OnDemandUpdateAdapters::verify(std::string_view publicKeyBase64,
                                                                std::string_view signatureBase64,
                                                                std::string_view data) {
    // Without the module nothing can be checked, and nothing unchecked is installed.
    if (auto* loaded = adapters()) return loaded->signatureVerifier->verify(publicKeyBase64, signatureBase64, data);
    return Outcome::invalid;
}

void OnDemandUpdateAdapters::unpack(const std::filesystem::path& archive, const std::filesystem::path& destination) {
    auto* loaded = adapters();
    if (!loaded) throw ArchiveUnpackError(formatText(translate("The update archive was not unpacked: %1"), {loadError_}));
    loaded->unpacker->unpack(archive, destination);
}

}  // namespace quillet
