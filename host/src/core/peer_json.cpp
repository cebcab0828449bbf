#include "core/peer_json.hpp"

namespace launcher::core {

bool json_nesting_within(std::string_view text, std::size_t max_depth) {
    std::size_t depth = 0;
    bool in_string = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (in_string) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                in_string = false;
            continue;
        }
        if (c == '"') {
            in_string = true;
        } else if (c == '[' || c == '{') {
            if (++depth > max_depth) return false;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return true;
}

std::expected<Json, std::string> parse_peer_json(std::string_view text) {
    if (!json_nesting_within(text)) {
        return std::unexpected("arrays and objects nested deeper than " + std::to_string(max_peer_json_depth) +
                               " levels");
    }
    // The parser would take a NUL byte outside a string for the end of the text and ignore the rest.
    if (auto nul = text.find('\0'); nul != std::string_view::npos) {
        return std::unexpected("a NUL byte at byte " + std::to_string(nul) + " is no JSON text");
    }
    // The parser reports a number too large for a double as out_of_range, not as a parse_error,
    // so the catch takes every exception of the library.
    try {
        return Json::parse(text);
    } catch (const Json::exception& e) {
        return std::unexpected(std::string(e.what()));
    }
}

}  // namespace launcher::core
