#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// OpenSSL's key type, named here so this header does not pull in OpenSSL.
struct evp_pkey_st;

namespace quillet::ed25519 {

inline constexpr std::size_t publicKeyLength = 32;
inline constexpr std::size_t signatureLength = 64;

// Standard base64 with padding. Decoding is strict: no white space, no missing or misplaced
// padding, no stray bits in the last character; anything else is nullopt, so a damaged key
// or signature is told apart from one that merely does not match.
std::string encodeBase64(std::string_view bytes);
std::optional<std::string> decodeBase64(std::string_view text);

// True when `signature` (64 bytes) is an Ed25519 signature of `data` by `publicKey` (32 bytes).
// Keys or signatures of the wrong length are simply not valid.
bool verify(std::string_view publicKey, std::string_view signature, std::string_view data);

// An Ed25519 private key, for the signing tool.
class PrivateKey {
public:
    static PrivateKey generate();
    // The key from its PEM text (PKCS #8); nullopt when it is not an Ed25519 private key.
    static std::optional<PrivateKey> fromPem(std::string_view pem);

    std::string pem() const;         // PKCS #8, unencrypted
    std::string publicKey() const;   // the raw 32 bytes
    std::string sign(std::string_view data) const;  // the raw 64 bytes

private:
    struct Free {
        void operator()(evp_pkey_st* key) const;
    };
    explicit PrivateKey(evp_pkey_st* key) : key_(key) {}
    std::unique_ptr<evp_pkey_st, Free> key_;
};

}  // namespace quillet::ed25519
