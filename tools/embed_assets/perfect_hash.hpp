#pragma once

#include <cstddef>
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <vector>

#include "assets/asset_table.hpp"

namespace launcher::embed {

// A perfect-hash index over a set of distinct keys: the seed of the key hash, one displacement
// pair per bucket, and for each key (in the order given) the slot it lands in.
struct PerfectHashIndex {
    std::uint64_t seed = 0;
    std::vector<assets::Displacement> displacements;
    std::vector<std::size_t> slot_of_key;
};

// Finds displacements that send every key to its own slot (hash, displace and compress: buckets of
// about five keys, largest first, each given the first displacement pair whose slots are all
// free). Deterministic: the same keys always give the same index. Keys must be distinct.
std::expected<PerfectHashIndex, std::string> build_perfect_hash(std::span<const std::string> keys);

}  // namespace launcher::embed
