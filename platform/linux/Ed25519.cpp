#include "platform/linux/Ed25519.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>

namespace quillet::ed25519 {

namespace {

constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextet(char c) {
    const auto at = alphabet.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

struct FreeContext {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, FreeContext>;

struct FreeBio {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using Bio = std::unique_ptr<BIO, FreeBio>;

[[noreturn]] void fail(const char* what) {
    const unsigned long code = ERR_get_error();
    std::array<char, 256> text{};
    if (code != 0) ERR_error_string_n(code, text.data(), text.size());
    ERR_clear_error();
    throw std::runtime_error(std::string(what) + (code != 0 ? std::string(": ") + text.data() : ""));
}

}  // namespace

std::string encodeBase64(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            text += k <= n ? alphabet[(group >> (18 - 6 * k)) & 0x3f] : '=';
    }
    return text;
}

std::optional<std::string> decodeBase64(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        std::size_t padding = 0;
        if (last) padding = text[i + 3] == '=' ? (text[i + 2] == '=' ? 2 : 1) : 0;
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const int value = k < 4 - padding ? sextet(text[i + k]) : 0;
            if (value < 0) return std::nullopt;  // a stray character, or '=' before the end
            group = group << 6 | static_cast<std::uint32_t>(value);
        }
        // The bits the padding leaves over must be zero, so each text has one decoding.
        if ((padding == 1 && (group & 0xff) != 0) || (padding == 2 && (group & 0xffff) != 0))
            return std::nullopt;
        for (std::size_t k = 0; k < 3 - padding; ++k)
            bytes += static_cast<char>((group >> (16 - 8 * k)) & 0xff);
    }
    return bytes;
}

bool verify(std::string_view publicKey, std::string_view signature, std::string_view data) {
    if (publicKey.size() != publicKeyLength || signature.size() != signatureLength) return false;
    EVP_PKEY* key = EVP_PKEY_new_raw_public_key(
        EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(publicKey.data()), publicKey.size());
    if (!key) {
        ERR_clear_error();
        return false;
    }
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> owned(key, &EVP_PKEY_free);
    DigestContext context(EVP_MD_CTX_new());
    // Ed25519 hashes the message itself: no digest is named, and the whole message goes in at once.
    const bool valid =
        context && EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key) == 1 &&
        EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.data()),
                         signature.size(), reinterpret_cast<const unsigned char*>(data.data()),
                         data.size()) == 1;
    ERR_clear_error();
    return valid;
}

void PrivateKey::Free::operator()(evp_pkey_st* key) const { EVP_PKEY_free(key); }

PrivateKey PrivateKey::generate() {
    EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519");
    if (!key) fail("Could not make an Ed25519 key");
    return PrivateKey(key);
}

std::optional<PrivateKey> PrivateKey::fromPem(std::string_view pem) {
    Bio bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    if (!bio) fail("Could not read the key");
    EVP_PKEY* key = PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr);
    ERR_clear_error();
    if (!key) return std::nullopt;
    PrivateKey result(key);
    if (EVP_PKEY_get_id(key) != EVP_PKEY_ED25519) return std::nullopt;
    return result;
}

std::string PrivateKey::pem() const {
    Bio bio(BIO_new(BIO_s_mem()));
    if (!bio || PEM_write_bio_PrivateKey(bio.get(), key_.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1)
        fail("Could not write the key");
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(length));
}

std::string PrivateKey::publicKey() const {
    std::string raw(publicKeyLength, '\0');
    std::size_t length = raw.size();
    if (EVP_PKEY_get_raw_public_key(key_.get(), reinterpret_cast<unsigned char*>(raw.data()), &length) != 1 ||
        length != publicKeyLength)
        fail("Could not read the public key");
    return raw;
}

std::string PrivateKey::sign(std::string_view data) const {
    DigestContext context(EVP_MD_CTX_new());
    std::string signature(signatureLength, '\0');
    std::size_t length = signature.size();
    if (!context || EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key_.get()) != 1 ||
        EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &length,
                       reinterpret_cast<const unsigned char*>(data.data()), data.size()) != 1 ||
        length != signatureLength)
        fail("Could not sign");
    return signature;
}

}  // namespace quillet::ed25519
