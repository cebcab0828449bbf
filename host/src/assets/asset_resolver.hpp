#pragma once

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "assets/asset_table.hpp"

namespace launcher::assets {

// The answer to a request for application content. It carries no security policy: pages are
// served byte for byte, without a Content-Security-Policy header.
struct Asset {
    std::string mime_type;
    std::vector<std::uint8_t> body;
};

// Answers the path part of a request URL (still percent-encoded) from `table`: the path itself,
// then with ".html", then with "/index.html", then "/index.html"; the first entry that exists is
// decompressed into a fresh buffer (nothing is cached) and typed by the requested name. Fails with
// "asset not found: " + the decoded path when even "/index.html" is missing.
std::expected<Asset, std::string> resolve_asset(const AssetTable& table, std::string_view request_path);

// The same against the table compiled into the executable. Safe to call from any thread.
std::expected<Asset, std::string> resolve_asset(std::string_view request_path);

}  // namespace launcher::assets
