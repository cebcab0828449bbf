#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "asset_embedding.hpp"
#include "perfect_hash.hpp"

namespace launcher::embed {
namespace {

namespace fs = std::filesystem;

// A scratch directory tree, removed when the test ends.
class TempTree {
public:
    TempTree() : root_(fs::path(::testing::TempDir()) / ("embed_assets_" + std::to_string(counter_++))) {
        fs::remove_all(root_);
    }
    ~TempTree() { fs::remove_all(root_); }

    fs::path write(const std::string& relative, const std::string& bytes) {
        fs::path path = root_ / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    fs::path path(const std::string& relative) const { return root_ / relative; }

private:
    static inline int counter_ = 0;
    fs::path root_;
};

TEST(CollectAssets, MergesRootsIntoSortedKeys) {
    TempTree tree;
    tree.write("dist/index.html", "<p>main</p>");
    tree.write("dist/assets/index-abc.js", "console.log(1)");
    tree.write("public/splashscreen.html", "<p>splash</p>");
    tree.write("public/locales/ru/common.json", "{}");
    const std::vector<fs::path> roots = {tree.path("dist"), tree.path("public")};

    auto assets = collect_assets(roots);
    ASSERT_TRUE(assets) << assets.error();
    std::map<std::string, std::string> got;
    std::vector<std::string> keys;
    for (const auto& a : *assets) {
        keys.push_back(a.key);
        got[a.key] = a.bytes;
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"/assets/index-abc.js", "/index.html", "/locales/ru/common.json",
                                              "/splashscreen.html"}));
    EXPECT_EQ(got["/locales/ru/common.json"], "{}");
}

TEST(CollectAssets, RefusesTreesItCannotServe) {
    TempTree tree;
    tree.write("a/index.html", "<p>a</p>");
    tree.write("b/index.html", "<p>b</p>");
    tree.write("c/page.html", "<p>c</p>");
    fs::path file = tree.write("file.txt", "x");
    struct Case {
        std::vector<fs::path> roots;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{tree.path("a"), tree.path("b")},
         "/index.html is under both " + tree.path("a").string() + " and " + tree.path("b").string()},
        {{tree.path("c")}, "no index.html in the embedded files"},
        {{tree.path("missing")}, "not a directory: " + tree.path("missing").string()},
        {{file}, "not a directory: " + file.string()},
    };
    for (const auto& c : cases) {
        auto assets = collect_assets(c.roots);
        ASSERT_FALSE(assets) << c.error;
        EXPECT_EQ(assets.error(), c.error);
    }
}

// Each key must land in a slot of its own and find itself there; other keys must find nothing.
TEST(PerfectHash, GivesEveryKeyItsOwnSlot) {
    for (std::size_t n : {1, 2, 5, 6, 64, 1000}) {
        std::vector<std::string> keys;
        for (std::size_t i = 0; i < n; ++i) keys.push_back("/assets/file-" + std::to_string(i) + ".js");
        auto index = build_perfect_hash(keys);
        ASSERT_TRUE(index) << index.error();

        std::vector<assets::AssetEntry> entries(n);
        for (std::size_t k = 0; k < n; ++k) {
            ASSERT_TRUE(entries[index->slot_of_key[k]].key.empty()) << "two keys in one slot, n=" << n;
            entries[index->slot_of_key[k]].key = keys[k];
        }
        assets::AssetTable table{index->seed, index->displacements, entries};
        for (const std::string& key : keys) {
            const assets::AssetEntry* found = table.find(key);
            ASSERT_NE(found, nullptr) << key;
            EXPECT_EQ(found->key, key);
        }
        for (std::string stranger : {"/assets/file-x.js", "/", "", "/index.html"}) {
            EXPECT_EQ(table.find(stranger), nullptr) << stranger;
        }
        auto again = build_perfect_hash(keys);
        EXPECT_EQ(again->seed, index->seed);
        EXPECT_EQ(again->slot_of_key, index->slot_of_key);
    }
}

}  // namespace
}  // namespace launcher::embed
