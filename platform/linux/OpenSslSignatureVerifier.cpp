#include "platform/linux/OpenSslSignatureVerifier.h"

#include "platform/linux/Ed25519.h"

namespace quillet {

UpdateSignatureVerifier::Outcome OpenSslSignatureVerifier::verify(std::string_view publicKeyBase64,
                                                                  std::string_view signatureBase64,
                                                                  std::string_view data) {
    const auto key = ed25519::decodeBase64(publicKeyBase64);
    if (!key || key->size() != ed25519::publicKeyLength) return Outcome::malformedKey;
    const auto signature = ed25519::decodeBase64(signatureBase64);
    if (!signature || signature->size() != ed25519::signatureLength) return Outcome::malformedSignature;
    return ed25519::verify(*key, *signature, data) ? Outcome::valid : Outcome::invalid;
}

}  // namespace quillet
