#pragma once

#include <array>
#include <cstdint>
#include <expected>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace launcher::lib::minisign {

// The second line of a minisign public-key file: "Ed" (or "ED"), key id, Ed25519 key.
struct MinisignPublicKey {
    std::array<unsigned char, 8> key_id{};
    std::array<unsigned char, 32> key{};
};

// A minisign signature file: the signature of the data ("Ed") or of its BLAKE2b-512 digest
// ("ED"), and the global signature over that signature followed by the trusted comment.
struct MinisignSignature {
    bool prehashed = false;
    std::array<unsigned char, 8> key_id{};
    std::array<unsigned char, 64> signature{};
    std::string trusted_comment;
    std::array<unsigned char, 64> global_signature{};
};

// Both fail with "Invalid encoding in minisign data" for malformed text and with "This signature
// algorithm is not supported by this implementation" for an algorithm tag other than "Ed"/"ED".
std::expected<MinisignPublicKey, std::string> parse_minisign_public_key(std::string_view text);
std::expected<MinisignSignature, std::string> parse_minisign_signature(std::string_view text);

// Fails with "The signature was created with a different key than the one provided" or "The
// signature verification failed".
std::expected<void, std::string> verify_minisign(const MinisignPublicKey& key, const MinisignSignature& signature,
                                                 std::span<const std::uint8_t> data);

// The update check: `pubkey` and `signature` are the base64 of the key file's and the .sig
// file's text, as the configuration and the update manifest carry them.
std::expected<void, std::string> verify_update_signature(std::string_view pubkey, std::string_view signature,
                                                         std::span<const std::uint8_t> data);

// The update check split in two, so a download can feed a prehashed ("ED") signature's BLAKE2b
// digest while the bytes arrive instead of reading the whole package once more at the end. The
// answer of finish() is the one verify_update_signature gives for the same data, decoding
// failures included.
class UpdateSignatureCheck {
public:
    UpdateSignatureCheck(std::string_view pubkey, std::string_view signature);
    ~UpdateSignatureCheck();
    UpdateSignatureCheck(const UpdateSignatureCheck&) = delete;
    UpdateSignatureCheck& operator=(const UpdateSignatureCheck&) = delete;

    // The next bytes of the data, in order.
    void feed(std::span<const std::uint8_t> chunk);
    // `data` is everything fed, whole (an "Ed" signature covers the data itself).
    std::expected<void, std::string> finish(std::span<const std::uint8_t> data);

private:
    struct Digest;
    std::expected<std::pair<MinisignPublicKey, MinisignSignature>, std::string> parsed_;
    std::unique_ptr<Digest> digest_;  // only for a prehashed signature
};

}  // namespace launcher::lib::minisign
