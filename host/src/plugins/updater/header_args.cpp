#include "plugins/updater/header_args.hpp"

#include <algorithm>

namespace launcher::plugins::updater {

std::expected<std::vector<lib::http::Header>, std::string> build_headers(
    const std::vector<std::pair<std::string, std::string>>& pairs, SameName same_name) {
    std::vector<lib::http::Header> headers;
    for (const auto& [name, value] : pairs) {
        if (!lib::http::valid_header_name(name)) return std::unexpected("invalid HTTP header name");
        if (!lib::http::valid_header_value(value)) return std::unexpected("failed to parse header value");
        auto existing = std::find_if(headers.begin(), headers.end(),
                                     [&](const auto& h) { return lib::http::same_header_name(h.first, name); });
        if (same_name == SameName::replace && existing != headers.end()) {
            existing->second = value;
        } else {
            headers.emplace_back(name, value);
        }
    }
    return headers;
}

}  // namespace launcher::plugins::updater
