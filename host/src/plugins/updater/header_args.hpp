#pragma once

#include <expected>
#include <string>
#include <utility>
#include <vector>

#include "core/args.hpp"
#include "lib/http/http_client.hpp"

namespace launcher::core {

// A [name, value] pair of a `headers` argument.
template <>
struct ArgDecoder<std::pair<std::string, std::string>> {
    static std::expected<std::pair<std::string, std::string>, std::string> decode(const Json& v) {
        if (!v.is_array()) return std::unexpected(invalid_type(v, "a tuple of size 2"));
        if (v.size() != 2)
            return std::unexpected("invalid length " + std::to_string(v.size()) + ", expected a tuple of size 2");
        auto name = ArgDecoder<std::string>::decode(v[0]);
        if (!name) return std::unexpected(name.error());
        auto value = ArgDecoder<std::string>::decode(v[1]);
        if (!value) return std::unexpected(value.error());
        return std::pair{std::move(*name), std::move(*value)};
    }
};

}  // namespace launcher::core

namespace launcher::plugins::updater {

enum class SameName { replace, keep_all };

// Checks every pair ("invalid HTTP header name", "failed to parse header value") and builds the
// header list: a later pair either replaces an earlier one of the same name in its place, or is
// kept beside it.
std::expected<std::vector<lib::http::Header>, std::string> build_headers(
    const std::vector<std::pair<std::string, std::string>>& pairs, SameName same_name);

}  // namespace launcher::plugins::updater
