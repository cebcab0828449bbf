#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace launcher::installer {

enum class PackageKind { zip, nsis, msi };

// What an update package holds, from its leading bytes; nullopt for anything else.
std::optional<PackageKind> package_kind(std::span<const std::uint8_t> bytes);

}  // namespace launcher::installer
