// The header helpers of the HTTP interface, shared by every client implementation.

#include "lib/http/http_client.hpp"

#include <algorithm>

namespace launcher::lib::http {

namespace {

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::optional<std::string> ResponseHead::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (same_header_name(key, name)) return value;
    }
    return std::nullopt;
}

bool same_header_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return ascii_lower(x) == ascii_lower(y); });
}

bool valid_header_name(std::string_view name) {
    constexpr std::string_view token_symbols = "!#$%&'*+-.^_`|~";
    if (name.empty()) return false;
    return std::all_of(name.begin(), name.end(), [&](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               token_symbols.find(c) != std::string_view::npos;
    });
}

bool valid_header_value(std::string_view value) {
    return std::all_of(value.begin(), value.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte == '\t' || (byte >= 0x20 && byte != 0x7F);
    });
}

}  // namespace launcher::lib::http
