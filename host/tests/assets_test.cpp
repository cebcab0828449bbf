#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "asset_test_table.hpp"
#include "assets/asset_resolver.hpp"
#include "assets/request_path.hpp"

namespace launcher::assets {
namespace {

namespace fs = std::filesystem;

std::string text_of(const std::vector<std::uint8_t>& body) { return std::string(body.begin(), body.end()); }

std::string body_of(const AssetTable& table, std::string_view key) {
    auto asset = resolve_asset(table, key);
    return asset ? text_of(asset->body) : "<" + asset.error() + ">";
}

TEST(RequestPath, DecodesTheRequestedName) {
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case {
        std::string raw;
        std::string decoded;
    };
    const std::vector<Case> cases = {
        {"/", "index.html"},
        {"", "index.html"},
        {"//", ""},
        {"/a/", "a"},
        {"/assets/logo%2Esvg", "assets/logo.svg"},
        {"/%2e%2E/x", "../x"},
        {"/%D0%B7%E2%80%A6", "з…"},
        {"/100%", "100%"},
        {"/%zz%4", "%zz%4"},
        {"/%FF", fffd},
        {"/%E2%80", fffd},                      // truncated sequence: one replacement
        {"/%E2%28%A1", fffd + "(" + fffd},      // a break resumes at the offending byte
        {"/%ED%A0%80", fffd + fffd + fffd},     // UTF-16 surrogates are not UTF-8
        {"/%F0%9F%98%80", "\xF0\x9F\x98\x80"},  // four-byte sequence kept whole
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decode_request_path(c.raw), c.decoded) << c.raw;
    }
}

TEST(RequestPath, FoldsSeparatorsIntoKeys) {
    struct Case {
        std::string name;
        std::string key;
    };
    const std::vector<Case> cases = {
        {"assets/logo.svg", "/assets/logo.svg"},
        {"assets\\logo.svg", "/assets/logo.svg"},
        {"\\\\assets//\\logo.svg\\", "/assets/logo.svg"},
        {"../index.html", "/../index.html"},
        {"a/./b", "/a/./b"},
        {"", "/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(asset_key(c.name), c.key) << c.name;
    }
}

// The table compiled into the launcher, resolved the way the web views ask for it.
TEST(EmbeddedAssets, ResolvesRequestPaths) {
    const AssetTable& table = embedded_asset_table();
    struct Case {
        std::string request;
        std::string served_key;
        std::string mime_type;
    };
    const std::vector<Case> cases = {
        {"/", "/index.html", "text/html"},
        {"", "/index.html", "text/html"},
        {"/splashscreen", "/splashscreen.html", "text/html"},
        {"/splashscreen.html/", "/splashscreen.html", "text/html"},
        // Missing files are answered with the main page, typed by the name that was asked for.
        {"/vite.svg", "/index.html", "image/svg+xml"},
        {"/locales/en/common.json", "/index.html", "application/json"},
        {"/assets/logo%2Esvg", "/assets/logo.svg", "image/svg+xml"},
        {"/assets\\logo.svg", "/assets/logo.svg", "image/svg+xml"},
        {"/assets%5Clogo.svg", "/assets/logo.svg", "image/svg+xml"},
        {"//assets///logo.svg", "/assets/logo.svg", "image/svg+xml"},
        // ".." is never resolved: nothing outside the table, nor another entry, is reached through it.
        {"/assets/%2E%2E/splashscreen.html", "/index.html", "text/html"},
        {"/../../../../etc/passwd", "/index.html", "text/html"},
        {"/..%2F..%2F..%2FCMakeLists.txt", "/index.html", "text/plain"},
        {"/..\\..\\host\\CMakeLists.txt", "/index.html", "text/plain"},
    };
    for (const auto& c : cases) {
        auto asset = resolve_asset(c.request);
        ASSERT_TRUE(asset) << c.request << ": " << asset.error();
        ASSERT_NE(table.find(c.served_key), nullptr) << c.served_key << " was not embedded";
        EXPECT_EQ(asset->mime_type, c.mime_type) << c.request;
        EXPECT_EQ(text_of(asset->body), body_of(table, c.served_key)) << c.request;
    }
    EXPECT_NE(body_of(table, "/splashscreen.html").find("загрузка…"), std::string::npos);
}

std::vector<fs::path> embedded_roots() {
    std::vector<fs::path> roots;
    std::string text = LAUNCHER_EMBEDDED_ROOTS;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = std::min(text.find('|', start), text.size());
        roots.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return roots;
}

// Every file the build embedded comes back byte for byte, and the table holds nothing else.
TEST(EmbeddedAssets, HoldsEveryBuiltFileUnchanged) {
    std::size_t files = 0;
    for (const fs::path& root : embedded_roots()) {
        for (const auto& item : fs::recursive_directory_iterator(root)) {
            if (!item.is_regular_file()) continue;
            ++files;
            std::string key = "/" + item.path().lexically_relative(root).generic_string();
            std::ifstream in(item.path(), std::ios::binary);
            std::string bytes(std::istreambuf_iterator<char>(in), {});
            const AssetEntry* entry = embedded_asset_table().find(key);
            ASSERT_NE(entry, nullptr) << key;
            EXPECT_EQ(body_of(embedded_asset_table(), key), bytes) << key;
        }
    }
    EXPECT_EQ(embedded_asset_table().entries.size(), files);
}

const std::string png_bytes = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);

TEST(AssetResolver, TypesByRequestedNameAndSignature) {
    testing::SmallTable small({
        {"/index.html", "<!doctype html><p>main</p>"},
        {"/image.txt", png_bytes},
        {"/style.css", "body { color: red }"},
        {"/notes.txt", "BM is how the text starts"},
        {"/picture.svg", png_bytes},
        {"/font.bin", std::string("wOF2\0\1\0\0", 8)},
        {"/clip.dat", std::string("\0\0\0\x18"
                                  "ftypisom",
                                  12)},
        {"/empty.txt", ""},
    });
    struct Case {
        std::string request;
        std::string mime_type;
    };
    const std::vector<Case> cases = {
        {"/image.txt", "image/png"},   {"/style.css", "text/css"},
        {"/notes.txt", "text/plain"},  {"/picture.svg", "image/svg+xml"},  // ".svg" is typed by its name alone
        {"/font.bin", "font/woff2"},   {"/clip.dat", "video/mp4"},
        {"/empty.txt", "text/plain"},  {"/STYLE.CSS", "text/html"},  // extensions compare case-sensitively
        {"/missing.png", "text/html"}, {"/data.jsonld", "application/ld+json"},
        {"/README", "text/html"},
    };
    for (const auto& c : cases) {
        auto asset = resolve_asset(small.table(), c.request);
        ASSERT_TRUE(asset) << c.request << ": " << asset.error();
        EXPECT_EQ(asset->mime_type, c.mime_type) << c.request;
    }
    EXPECT_EQ(body_of(small.table(), "/image.txt"), png_bytes);
    EXPECT_EQ(body_of(small.table(), "/empty.txt"), "");
}

TEST(AssetResolver, ReportsMissingAndDamagedEntries) {
    testing::SmallTable without_index(std::vector<embed::SourceAsset>{{"/page.html", "<p>page</p>"}});
    testing::SmallTable damaged(
        {{"/index.html", "<!doctype html><p>main page, long enough to compress</p>"}, {"/short.html", "<p>short</p>"}});
    damaged.entry("/index.html").compressed.remove_suffix(3);
    damaged.entry("/short.html").size += 1;
    const AssetTable empty;
    const AssetTable no_index = without_index.table();
    const AssetTable broken = damaged.table();

    struct Case {
        const AssetTable& table;
        std::string request;
        std::string error;
    };
    const std::vector<Case> cases = {
        {empty, "/", "asset not found: index.html"},
        {no_index, "/nope%2Ejs", "asset not found: nope.js"},
        {broken, "/anything", "asset is corrupt: /index.html"},
        {broken, "/short", "asset is corrupt: /short.html"},
    };
    for (const auto& c : cases) {
        auto asset = resolve_asset(c.table, c.request);
        ASSERT_FALSE(asset) << c.request;
        EXPECT_EQ(asset.error(), c.error);
    }
    EXPECT_EQ(body_of(without_index.table(), "/page"), "<p>page</p>");
}

}  // namespace
}  // namespace launcher::assets
