#pragma once

#include <stdexcept>
#include <vector>

#include "asset_embedding.hpp"
#include "assets/asset_table.hpp"

namespace launcher::testing {

// A table built in memory exactly as the embedder builds the compiled one, for resolver cases
// the real front-end does not contain.
class SmallTable {
public:
    explicit SmallTable(const std::vector<embed::SourceAsset>& files) {
        auto layout = embed::build_table_layout(files);
        if (!layout) throw std::runtime_error(layout.error());
        layout_ = std::move(*layout);
        for (const auto& e : layout_.entries) entries_.push_back({e.key, e.compressed, e.size});
    }

    assets::AssetTable table() const { return {layout_.seed, layout_.displacements, entries_}; }

    // Lets a test damage an entry the way a broken build would.
    assets::AssetEntry& entry(std::string_view key) {
        for (auto& e : entries_) {
            if (e.key == key) return e;
        }
        throw std::out_of_range(std::string(key));
    }

private:
    embed::TableLayout layout_;
    std::vector<assets::AssetEntry> entries_;
};

}  // namespace launcher::testing
