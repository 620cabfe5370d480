#pragma once

#include <string_view>

namespace quillet {

// Checks an Ed25519 signature (both key and signature in base64, as the appcast and the
// information dictionary carry them) over the exact bytes of an archive.
class UpdateSignatureVerifier {
public:
    enum class Outcome { valid, invalid, malformedKey, malformedSignature };

    virtual ~UpdateSignatureVerifier() = default;
    virtual Outcome verify(std::string_view publicKeyBase64, std::string_view signatureBase64,
                           std::string_view data) = 0;
};

}  // namespace quillet
