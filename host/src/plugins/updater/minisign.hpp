#pragma once

#include <array>
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <string_view>

namespace launcher::updater {

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

}  // namespace launcher::updater
