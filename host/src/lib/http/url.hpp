#pragma once

#include <expected>
#include <string>
#include <string_view>

namespace launcher::lib::http {

// An absolute URL as libcurl's URL parser reads it.
struct Url {
    std::string text;    // the parser's normalised form
    std::string scheme;  // lower case
};

// Parses an absolute URL; fails with the URL parser's own message ("Bad scheme",
// "Malformed input to a URL function", ...).
std::expected<Url, std::string> parse_url(std::string_view text);

}  // namespace launcher::lib::http
