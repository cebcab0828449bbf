#include <sodium.h>

#include "lib/minisign/blake2b.hpp"

namespace launcher::lib::minisign {

struct Blake2b512::State {
    crypto_generichash_state state;
    bool ok = sodium_init() >= 0 && crypto_generichash_init(&state, nullptr, 0, 64) == 0;
};

Blake2b512::Blake2b512() : state_(std::make_unique<State>()) {}

Blake2b512::~Blake2b512() = default;

void Blake2b512::update(std::span<const std::uint8_t> bytes) {
    if (state_->ok) state_->ok = crypto_generichash_update(&state_->state, bytes.data(), bytes.size()) == 0;
}

Blake2b512::Digest Blake2b512::finish() {
    Digest digest{};
    if (!state_->ok || crypto_generichash_final(&state_->state, digest.data(), digest.size()) != 0) digest.fill(0);
    state_->ok = false;
    return digest;
}

}  // namespace launcher::lib::minisign
