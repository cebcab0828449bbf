#include "platform/linux/system/cpuid.hpp"

#include <cstring>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace launcher::platform::linux_system {

namespace {

bool valid_utf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = byte < 0x80           ? 1
                             : (byte >> 5) == 0x6  ? 2
                             : (byte >> 4) == 0xE  ? 3
                             : (byte >> 3) == 0x1E ? 4
                                                   : 0;
        if (length == 0 || i + length > text.size()) return false;
        std::uint32_t code = length == 1 ? byte : byte & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

// The bytes of the registers in order, cut at the first NUL.
template <std::size_t N>
std::string register_text(const std::array<std::uint32_t, N>& registers) {
    char bytes[N * 4];
    std::memcpy(bytes, registers.data(), sizeof bytes);
    return std::string(bytes, strnlen(bytes, sizeof bytes));
}

}  // namespace

ProcessorIdentity identity_from_cpuid(const CpuidLeaves& leaves, std::string_view fallback_vendor) {
    ProcessorIdentity identity;
    identity.vendor_id = register_text(std::array{leaves.leaf0[1], leaves.leaf0[3], leaves.leaf0[2]});
    if (!valid_utf8(identity.vendor_id)) identity.vendor_id = std::string(fallback_vendor);
    if (leaves.highest_extended >= 0x80000004) {
        std::array<std::uint32_t, 12> brand{};
        for (std::size_t leaf = 0; leaf < 3; ++leaf) {
            for (std::size_t r = 0; r < 4; ++r) brand[leaf * 4 + r] = leaves.brand[leaf][r];
        }
        identity.brand = register_text(brand);
        if (!valid_utf8(identity.brand)) identity.brand.clear();
    }
    return identity;
}

std::optional<CpuidLeaves> read_cpuid() {
#if defined(__x86_64__) || defined(__i386__)
    CpuidLeaves leaves;
    auto& l0 = leaves.leaf0;
    __cpuid(0, l0[0], l0[1], l0[2], l0[3]);
    unsigned a = 0, b = 0, c = 0, d = 0;
    __cpuid(0x80000000, a, b, c, d);
    leaves.highest_extended = a;
    if (leaves.highest_extended >= 0x80000004) {
        for (unsigned leaf = 0; leaf < 3; ++leaf) {
            auto& r = leaves.brand[leaf];
            __cpuid(0x80000002 + leaf, r[0], r[1], r[2], r[3]);
        }
    }
    return leaves;
#else
    return std::nullopt;
#endif
}

}  // namespace launcher::platform::linux_system
