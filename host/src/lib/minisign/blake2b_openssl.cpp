#include <openssl/evp.h>

#include "lib/minisign/blake2b.hpp"

namespace launcher::lib::minisign {

struct Blake2b512::State {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    bool ok = context && EVP_DigestInit_ex(context, EVP_blake2b512(), nullptr) == 1;

    ~State() { EVP_MD_CTX_free(context); }
};

Blake2b512::Blake2b512() : state_(std::make_unique<State>()) {}

Blake2b512::~Blake2b512() = default;

void Blake2b512::update(std::span<const std::uint8_t> bytes) {
    if (state_->ok) state_->ok = EVP_DigestUpdate(state_->context, bytes.data(), bytes.size()) == 1;
}

Blake2b512::Digest Blake2b512::finish() {
    Digest digest{};
    unsigned int size = 0;
    if (!state_->ok || EVP_DigestFinal_ex(state_->context, digest.data(), &size) != 1 || size != digest.size()) {
        digest.fill(0);
    }
    state_->ok = false;
    return digest;
}

}  // namespace launcher::lib::minisign
