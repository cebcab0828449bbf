#pragma once

#include <cstdint>
#include <expected>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "assets/asset_table.hpp"

namespace launcher::embed {

// A file to embed: its "/"-rooted key and its bytes.
struct SourceAsset {
    std::string key;
    std::string bytes;
};

struct CompressedAsset {
    std::string key;
    std::string compressed;
    std::size_t size = 0;
};

// What the generated source holds: the index seed and displacements, and the entries in slot order.
struct TableLayout {
    std::uint64_t seed = 0;
    std::vector<assets::Displacement> displacements;
    std::vector<CompressedAsset> entries;
};

// Every regular file under the roots, keyed by its path relative to its root, sorted by key. The
// roots are merged as one tree; a key found under two roots, a root that is not a directory, or a
// tree without "/index.html" (the page every unknown path falls back to) is an error.
std::expected<std::vector<SourceAsset>, std::string> collect_assets(std::span<const std::filesystem::path> roots);

// A complete brotli stream of `bytes` at the best quality and the largest window.
std::expected<std::string, std::string> compress_best(const std::string& bytes);

// Compresses each asset and places it in the slot the perfect-hash index gives its key.
std::expected<TableLayout, std::string> build_table_layout(const std::vector<SourceAsset>& assets);

// The C++ source defining `launcher::assets::embedded_asset_table()` for `layout`. It also checks
// at compile time that every key finds its own entry, so a hash that differs between this tool
// and the lookup fails the build instead of the first request.
std::string generate_table_source(const TableLayout& layout);

}  // namespace launcher::embed
