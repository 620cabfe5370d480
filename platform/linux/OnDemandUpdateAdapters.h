#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/linux/UpdateModule.h"
#include "shared/OnDemandLibrary.h"

namespace quillet {

// The update ports of the resident application: each call loads the update module the first
// time (see UpdateModule.h) and hands the call to the module's adapter. The module then stays
// for the life of the process (Qt Network and OpenSSL cannot be unloaded safely). A module that
// cannot be loaded fails the call as its adapter would fail it: a transfer that reports the
// error, an archive not unpacked, a signature not accepted.
class OnDemandUpdateAdapters final : public UpdateTransport, public UpdateSignatureVerifier, public ArchiveUnpacker {
public:
    explicit OnDemandUpdateAdapters(std::filesystem::path module);
    ~OnDemandUpdateAdapters() override;

    // Where the module is installed: lib/quillet/ beside the program's libexec/ (or bin/).
    static std::filesystem::path installedBeside(const std::filesystem::path& executable);

    std::unique_ptr<Transfer> get(const TransferRequest& request, Progress onProgress, Completion onFinish) override;
    UpdateSignatureVerifier::Outcome verify(std::string_view publicKeyBase64, std::string_view signatureBase64,
                                            std::string_view data) override;
    void unpack(const std::filesystem::path& archive, const std::filesystem::path& destination) override;

    bool isLoaded() const { return adapters_ != nullptr; }

private:
    // The module's adapters, loaded now if not yet; nullptr (and loadError_ set) when it fails.
    UpdateModuleAdapters* adapters();

    std::filesystem::path module_;
    // Before the adapters, which go first: their code is the library's.
    std::unique_ptr<OnDemandLibrary> library_;
    std::unique_ptr<UpdateModuleAdapters> adapters_;
    std::string loadError_;
};

}  // namespace quillet
