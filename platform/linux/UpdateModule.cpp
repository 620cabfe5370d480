// The entry point of the update module (see UpdateModule.h).

#include "platform/linux/UpdateModule.h"

#include "platform/linux/LibArchiveUnpacker.h"
#include "platform/linux/OpenSslSignatureVerifier.h"
#include "platform/linux/QtUpdateTransport.h"

extern "C" __attribute__((visibility("default"))) quillet::UpdateModuleAdapters* quillet_update_module_adapters() {
    return new quillet::UpdateModuleAdapters{std::make_unique<quillet::QtUpdateTransport>(),
                                             std::make_unique<quillet::OpenSslSignatureVerifier>(),
                                             std::make_unique<quillet::LibArchiveUnpacker>()};
}
