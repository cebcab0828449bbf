#include "installer/package_kind.hpp"

#include <algorithm>
#include <array>

namespace launcher::installer {

namespace {

template <std::size_t N>
bool starts_with(std::span<const std::uint8_t> bytes, const std::array<std::uint8_t, N>& magic) {
    return bytes.size() >= N && std::equal(magic.begin(), magic.end(), bytes.begin());
}

}  // namespace

std::optional<PackageKind> package_kind(std::span<const std::uint8_t> bytes) {
    // Local file header, empty archive, spanned archive, and the marker some spanning tools
    // put before the first local header.
    static constexpr std::array<std::array<std::uint8_t, 4>, 3> zip_heads{
        {{0x50, 0x4B, 0x03, 0x04}, {0x50, 0x4B, 0x05, 0x06}, {0x50, 0x4B, 0x07, 0x08}}};
    static constexpr std::array<std::uint8_t, 8> zip_spanned{0x50, 0x4B, 0x30, 0x30, 0x50, 0x4B, 0x03, 0x04};
    static constexpr std::array<std::uint8_t, 2> executable{0x4D, 0x5A};
    static constexpr std::array<std::uint8_t, 8> compound_file{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

    for (const auto& head : zip_heads)
        if (starts_with(bytes, head)) return PackageKind::zip;
    if (starts_with(bytes, zip_spanned)) return PackageKind::zip;
    if (starts_with(bytes, executable)) return PackageKind::nsis;
    if (starts_with(bytes, compound_file)) return PackageKind::msi;
    return std::nullopt;
}

}  // namespace launcher::installer
