// Verification of a package against the updater's key: the fuzzer changes a real signature (made
// by minisign, in both its prehashed and its legacy form) and the package bytes; only the exact
// package that was signed may ever pass.

#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_check.hpp"
#include "lib/minisign/minisign.hpp"

using launcher::fuzz::require;

namespace {

// Base64 of the public-key file of a key made by minisign for these seeds.
constexpr std::string_view public_key =
    "dW50cnVzdGVkIGNvbW1lbnQ6IG1pbmlzaWduIHB1YmxpYyBrZXkgMUEwRTNBOUExNjM4OURGMwpSV1R6blRnV21qb09HZ1phYjdKcnliL3ZXTT"
    "ZOZ1U2eTRDMFhZblNTdEw3YTMwYTlady9XWjdZWgo=";
// The only package that key signed.
constexpr std::string_view signed_package = "MZ signed installer bytes\n";

}  // namespace

// Input: the base64 signature text as a manifest carries it, a NUL byte, then the package.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto text = launcher::fuzz::as_text(data, size);
    auto nul = text.find('\0');
    if (nul == std::string_view::npos) return 0;
    auto signature = text.substr(0, nul);
    auto package = text.substr(nul + 1);
    auto verified = launcher::lib::minisign::verify_update_signature(
        public_key, signature, {reinterpret_cast<const std::uint8_t*>(package.data()), package.size()});
    if (verified)
        require(package == signed_package, "only the signed package verifies", std::string(package));
    else
        require(!verified.error().empty(), "a refusal has a message");
    return 0;
}
