#include "assets/asset_resolver.hpp"

#include <array>

#include <brotli/decode.h>

#include "assets/content_type.hpp"
#include "assets/request_path.hpp"

namespace launcher::assets {
namespace {

const AssetEntry* find_candidate(const AssetTable& table, const std::string& path) {
    const std::array candidates{path, path + ".html", path + "/index.html", std::string("index.html")};
    for (const std::string& candidate : candidates) {
        if (const AssetEntry* entry = table.find(asset_key(candidate))) {
            return entry;
        }
    }
    return nullptr;
}

std::expected<std::vector<std::uint8_t>, std::string> decompress(const AssetEntry& entry) {
    std::vector<std::uint8_t> body(entry.size);
    std::size_t decoded = body.size();
    BrotliDecoderResult result = BrotliDecoderDecompress(
        entry.compressed.size(), reinterpret_cast<const std::uint8_t*>(entry.compressed.data()), &decoded, body.data());
    // The build writes the decompressed size beside each stream; a stream that does not decode to
    // exactly that many bytes means the table is damaged, and serving a truncated page would hide it.
    if (result != BROTLI_DECODER_RESULT_SUCCESS || decoded != entry.size) {
        return std::unexpected("asset is corrupt: " + std::string(entry.key));
    }
    return body;
}

}  // namespace

std::expected<Asset, std::string> resolve_asset(const AssetTable& table, std::string_view request_path) {
    std::string path = decode_request_path(request_path);
    const AssetEntry* entry = find_candidate(table, path);
    if (!entry) {
        return std::unexpected("asset not found: " + path);
    }
    auto body = decompress(*entry);
    if (!body) {
        return std::unexpected(body.error());
    }
    Asset asset{std::string(content_type(path, *body)), std::move(*body)};
    return asset;
}

}  // namespace launcher::assets
