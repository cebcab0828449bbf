#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/system_probe.hpp"

namespace launcher::platform::linux_system {

// The registers of the identification leaves the vendor and brand texts come from.
struct CpuidLeaves {
    std::array<std::uint32_t, 4> leaf0{};                 // eax, ebx, ecx, edx of leaf 0
    std::uint32_t highest_extended = 0;                   // eax of leaf 0x80000000
    std::array<std::array<std::uint32_t, 4>, 3> brand{};  // leaves 0x80000002..0x80000004
};

// The vendor is ebx, edx, ecx of leaf 0 as text; the brand the 48 bytes of the brand leaves when
// the processor has them. Each is cut at its first NUL and must be UTF-8: a vendor that is not
// becomes `fallback_vendor`, a brand that is not becomes empty.
ProcessorIdentity identity_from_cpuid(const CpuidLeaves& leaves, std::string_view fallback_vendor);

// The leaves of the processor this runs on; null where there is no identification instruction.
std::optional<CpuidLeaves> read_cpuid();

}  // namespace launcher::platform::linux_system
