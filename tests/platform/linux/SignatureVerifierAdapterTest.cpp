#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <memory>
#include <string>

#include "platform/linux/OpenSslSignatureVerifier.h"

using namespace quillet;
using Outcome = UpdateSignatureVerifier::Outcome;

namespace {

// Keys, signatures and base64 made with OpenSSL directly, not with the code under test.
std::string base64(const std::string& bytes) {
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                       reinterpret_cast<const unsigned char*>(bytes.data()),
                                       static_cast<int>(bytes.size()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

struct KeyPair {
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key{EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"),
                                                             &EVP_PKEY_free};

    std::string publicKeyBase64() const {
        std::string raw(32, '\0');
        std::size_t length = raw.size();
        EVP_PKEY_get_raw_public_key(key.get(), reinterpret_cast<unsigned char*>(raw.data()), &length);
        return base64(raw);
    }

    std::string signBase64(const std::string& data) const {
        std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
        std::string signature(64, '\0');
        std::size_t length = signature.size();
        EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get());
        EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &length,
                       reinterpret_cast<const unsigned char*>(data.data()), data.size());
        return base64(signature);
    }
};

const std::string archive = std::string("Quillet+ 2.0 archive\0with a NUL byte", 36);

}  // namespace

TEST(OpenSslSignatureVerifier, AcceptsOnlyTheSignatureOfTheseBytesByThisKey) {
    OpenSslSignatureVerifier verifier;
    const KeyPair signer, other;
    ASSERT_TRUE(signer.key && other.key);
    const std::string signature = signer.signBase64(archive);
    EXPECT_EQ(verifier.verify(signer.publicKeyBase64(), signature, archive), Outcome::valid);

    std::string tampered = archive;
    tampered.back() ^= 0x01;
    EXPECT_EQ(verifier.verify(signer.publicKeyBase64(), signature, tampered), Outcome::invalid);
    EXPECT_EQ(verifier.verify(signer.publicKeyBase64(), signature, archive + "x"), Outcome::invalid);
    EXPECT_EQ(verifier.verify(other.publicKeyBase64(), signature, archive), Outcome::invalid);
    EXPECT_EQ(verifier.verify(signer.publicKeyBase64(), other.signBase64(archive), archive), Outcome::invalid);
}

TEST(OpenSslSignatureVerifier, AgreesWithThePublishedEd25519TestVector) {
    // RFC 8032, section 7.1, test 1: the empty message.
    const std::string key = base64(fromHex("d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a"));
    const std::string signature = base64(fromHex(
        "e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e065224901555fb8821590a33bacc61e39701cf9b46b"
        "d25bf5f0595bbe24655141438e7a100b"));
    OpenSslSignatureVerifier verifier;
    EXPECT_EQ(verifier.verify(key, signature, ""), Outcome::valid);
    EXPECT_EQ(verifier.verify(key, signature, "x"), Outcome::invalid);
}

TEST(OpenSslSignatureVerifier, TellsADamagedKeyOrSignatureFromAWrongOne) {
    OpenSslSignatureVerifier verifier;
    const KeyPair signer;
    const std::string key = signer.publicKeyBase64();
    const std::string signature = signer.signBase64(archive);
    ASSERT_EQ(key.size(), 44u);
    ASSERT_EQ(signature.size(), 88u);

    for (const std::string& badKey :
         {std::string(), key.substr(0, 40), key + "AAAA", " " + key, key.substr(0, 43), key.substr(0, 42) + "==",
          key.substr(0, 20) + "*" + key.substr(21), base64(std::string(31, 'k')), base64(std::string(33, 'k')),
          key.substr(0, 42) + "B="})  // stray bits before the padding: not the text of any key
        EXPECT_EQ(verifier.verify(badKey, signature, archive), Outcome::malformedKey) << badKey;

    for (const std::string& badSignature :
         {std::string(), signature.substr(0, 84), signature + "\n", signature.substr(0, 86) + "=A",
          base64(std::string(63, 's')), base64(std::string(65, 's'))})
        EXPECT_EQ(verifier.verify(key, badSignature, archive), Outcome::malformedSignature) << badSignature;

    // A damaged key is reported as such even when the signature is damaged too.
    EXPECT_EQ(verifier.verify("not a key", "not a signature", archive), Outcome::malformedKey);
}
