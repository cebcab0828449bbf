#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace launcher::assets {

// One embedded file: its "/"-rooted key, its complete brotli stream and its size once decompressed
// (known at build time, so a request allocates its buffer once).
struct AssetEntry {
    std::string_view key;
    std::string_view compressed;
    std::size_t size = 0;
};

// The pair of displacements stored per bucket of the perfect-hash index.
struct Displacement {
    std::uint32_t d1 = 0;
    std::uint32_t d2 = 0;
};

// The three values one pass over a key yields: which bucket it falls in, and the two numbers the
// bucket's displacements turn into a slot.
struct KeyHashes {
    std::uint32_t bucket;
    std::uint32_t f1;
    std::uint32_t f2;
};

// Seeded 64-bit FNV-1a over the key, finished with the splitmix64 mixer so that every output bit
// depends on every input bit; the build and the lookup must agree on it exactly.
constexpr KeyHashes hash_key(std::string_view key, std::uint64_t seed) {
    std::uint64_t h = 0xcbf29ce484222325ULL ^ seed;
    for (char c : key) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ULL;
    }
    auto mix = [](std::uint64_t z) {
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    };
    std::uint64_t first = mix(h);
    std::uint64_t second = mix(first ^ 0x9e3779b97f4a7c15ULL);
    return {static_cast<std::uint32_t>(first >> 32), static_cast<std::uint32_t>(second),
            static_cast<std::uint32_t>(second >> 32)};
}

// The slot a key's hashes land in under its bucket's displacements, for a table of `slots` entries.
constexpr std::size_t displaced_slot(const KeyHashes& h, const Displacement& d, std::size_t slots) {
    std::uint64_t mixed = static_cast<std::uint64_t>(h.f1) * d.d1 + h.f2 + d.d2;
    return static_cast<std::size_t>(mixed % slots);
}

// A read-only map from key to entry behind a perfect-hash index: `entries` sit in slot order, so a
// lookup costs one hash of the key and at most one key comparison.
struct AssetTable {
    std::uint64_t seed = 0;
    std::span<const Displacement> displacements;
    std::span<const AssetEntry> entries;

    constexpr const AssetEntry* find(std::string_view key) const {
        if (entries.empty() || displacements.empty()) {
            return nullptr;
        }
        KeyHashes h = hash_key(key, seed);
        const Displacement& d = displacements[h.bucket % displacements.size()];
        const AssetEntry& entry = entries[displaced_slot(h, d, entries.size())];
        return entry.key == key ? &entry : nullptr;
    }
};

// The table the build generated from the front-end's output (defined in the generated source).
const AssetTable& embedded_asset_table();

}  // namespace launcher::assets
