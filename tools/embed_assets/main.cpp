// Build-time tool: embeds every file under the given directories into a generated C++ source
// holding the asset table (brotli streams behind a perfect-hash index).
//
//   embed_assets --output <table.cpp> <dir>...
//
// The output is rewritten only when its content changes, so an unchanged front-end build does
// not recompile the table.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "asset_embedding.hpp"

namespace fs = std::filesystem;

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "embed_assets: %s\n", message.c_str());
    return 1;
}

bool same_content(const fs::path& path, const std::string& text) {
    std::ifstream in(path, std::ios::binary);
    return in && std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()) == text;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path output;
    std::vector<fs::path> roots;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--output" && i + 1 < argc) {
            output = argv[++i];
        } else {
            roots.emplace_back(arg);
        }
    }
    if (output.empty() || roots.empty()) {
        return fail("usage: embed_assets --output <table.cpp> <dir>...");
    }

    auto assets = launcher::embed::collect_assets(roots);
    if (!assets) return fail(assets.error());
    auto layout = launcher::embed::build_table_layout(*assets);
    if (!layout) return fail(layout.error());
    std::string source = launcher::embed::generate_table_source(*layout);

    std::size_t raw = 0;
    std::size_t compressed = 0;
    for (const auto& entry : layout->entries) {
        raw += entry.size;
        compressed += entry.compressed.size();
    }
    std::printf("embed_assets: %zu files, %zu bytes, %zu compressed\n", layout->entries.size(), raw, compressed);

    if (same_content(output, source)) return 0;
    fs::create_directories(output.parent_path());
    fs::path temporary = output;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << source;
        if (!out.flush()) return fail("cannot write " + temporary.string());
    }
    std::error_code ec;
    fs::rename(temporary, output, ec);
    if (ec) return fail("cannot write " + output.string() + ": " + ec.message());
    return 0;
}
