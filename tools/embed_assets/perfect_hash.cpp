#include "perfect_hash.hpp"

#include <algorithm>
#include <numeric>

namespace launcher::embed {
namespace {

constexpr std::size_t keys_per_bucket = 5;
constexpr std::uint64_t seeds_to_try = 1000;

// Places every bucket under `seed`, or reports that some bucket found no free slots.
bool try_seed(std::span<const std::string> keys, std::uint64_t seed, PerfectHashIndex& index) {
    const std::size_t n = keys.size();
    const std::size_t bucket_count = (n + keys_per_bucket - 1) / keys_per_bucket;
    std::vector<assets::KeyHashes> hashes;
    hashes.reserve(n);
    std::vector<std::vector<std::size_t>> buckets(bucket_count);
    for (std::size_t k = 0; k < n; ++k) {
        hashes.push_back(assets::hash_key(keys[k], seed));
        buckets[hashes.back().bucket % bucket_count].push_back(k);
    }
    std::vector<std::size_t> order(bucket_count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return buckets[a].size() > buckets[b].size(); });

    index.seed = seed;
    index.displacements.assign(bucket_count, {});
    index.slot_of_key.assign(n, 0);
    std::vector<bool> taken(n, false);
    std::vector<std::size_t> slots;
    for (std::size_t b : order) {
        const auto& members = buckets[b];
        bool placed = members.empty();
        for (std::uint32_t d1 = 0; d1 < n && !placed; ++d1) {
            for (std::uint32_t d2 = 0; d2 < n && !placed; ++d2) {
                assets::Displacement d{d1, d2};
                slots.clear();
                for (std::size_t k : members) {
                    std::size_t slot = assets::displaced_slot(hashes[k], d, n);
                    if (taken[slot] || std::find(slots.begin(), slots.end(), slot) != slots.end()) break;
                    slots.push_back(slot);
                }
                if (slots.size() != members.size()) continue;
                for (std::size_t i = 0; i < members.size(); ++i) {
                    taken[slots[i]] = true;
                    index.slot_of_key[members[i]] = slots[i];
                }
                index.displacements[b] = d;
                placed = true;
            }
        }
        if (!placed) return false;
    }
    return true;
}

}  // namespace

std::expected<PerfectHashIndex, std::string> build_perfect_hash(std::span<const std::string> keys) {
    PerfectHashIndex index;
    for (std::uint64_t seed = 0; seed < seeds_to_try; ++seed) {
        if (try_seed(keys, seed, index)) {
            return index;
        }
    }
    return std::unexpected("no perfect hash found for " + std::to_string(keys.size()) + " keys");
}

}  // namespace launcher::embed
