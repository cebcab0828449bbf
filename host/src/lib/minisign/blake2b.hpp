#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

namespace launcher::lib::minisign {

// BLAKE2b with a 64-byte digest and no key: what a prehashed minisign signature signs. Linux
// takes it from OpenSSL, whose code ran about twice as fast as libsodium's here (0.085 s against
// 0.16 s for 100 MB), the Windows build, which has no OpenSSL, from libsodium.
class Blake2b512 {
public:
    using Digest = std::array<unsigned char, 64>;

    Blake2b512();
    ~Blake2b512();
    Blake2b512(const Blake2b512&) = delete;
    Blake2b512& operator=(const Blake2b512&) = delete;

    void update(std::span<const std::uint8_t> bytes);
    // The digest of everything given to update(); once. Should the library fail (out of memory),
    // the digest is all zeros, which no signature matches: the check fails, it never passes.
    Digest finish();

    static Digest of(std::span<const std::uint8_t> bytes) {
        Blake2b512 hash;
        hash.update(bytes);
        return hash.finish();
    }

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace launcher::lib::minisign
