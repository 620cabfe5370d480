#pragma once

#include "platform/UpdateSignatureVerifier.h"

namespace quillet {

// Ed25519 through OpenSSL: the key is the raw 32-byte public key and the signature 64 bytes,
// both in strict base64. A key or signature that does not decode to those lengths is reported
// as malformed, so a damaged information dictionary or appcast is told apart from a forgery.
class OpenSslSignatureVerifier final : public UpdateSignatureVerifier {
public:
    Outcome verify(std::string_view publicKeyBase64, std::string_view signatureBase64,
                   std::string_view data) override;
};

}  // namespace quillet
