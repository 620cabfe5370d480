#pragma once

#include <memory>

#include "platform/ArchiveUnpacker.h"
#include "platform/UpdateSignatureVerifier.h"
#include "platform/UpdateTransport.h"

namespace quillet {

// The update stack (Qt Network, OpenSSL, libarchive and the libraries they bring, some 4 MB
// resident) is a module of its own, loaded the first time an update check needs it, so the
// resident application never maps it. Its one entry point hands back its adapters, which the
// caller owns; the module is built with the program from the same headers.
struct UpdateModuleAdapters {
    std::unique_ptr<UpdateTransport> transport;
    std::unique_ptr<UpdateSignatureVerifier> signatureVerifier;
    std::unique_ptr<ArchiveUnpacker> unpacker;
};

inline constexpr const char* kUpdateModuleEntryPoint = "quillet_update_module_adapters";
using UpdateModuleEntryPoint = UpdateModuleAdapters* (*)();

}  // namespace quillet
