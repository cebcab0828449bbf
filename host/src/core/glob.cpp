#include "core/glob.hpp"

#include <cstddef>
#include <string>

namespace launcher::core {

namespace {

// UTF-8 text as code points, so "?" and classes take one character, not one byte. Bytes that do
// not start a well-formed sequence stand for themselves.
std::u32string code_points(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
        bool well_formed = length > 1 && i + length <= text.size();
        for (std::size_t k = 1; well_formed && k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            well_formed = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (length > 1 && !well_formed) {
            c = lead;
            length = 1;
        }
        out += c;
        i += length;
    }
    return out;
}

// Matches one "[...]" class at pattern[p] against c; sets `end` past the closing bracket.
// A "[" without a closing bracket is a literal.
bool match_class(std::u32string_view pattern, std::size_t p, char32_t c, std::size_t& end, bool& is_class) {
    std::size_t i = p + 1;
    bool negate = i < pattern.size() && pattern[i] == U'!';
    if (negate) ++i;
    std::size_t first = i;
    bool matched = false;
    while (i < pattern.size() && (pattern[i] != U']' || i == first)) {
        if (i + 2 < pattern.size() && pattern[i + 1] == U'-' && pattern[i + 2] != U']') {
            if (pattern[i] <= c && c <= pattern[i + 2]) matched = true;
            i += 3;
        } else {
            if (pattern[i] == c) matched = true;
            ++i;
        }
    }
    if (i >= pattern.size()) {
        is_class = false;
        return false;
    }
    is_class = true;
    end = i + 1;
    return matched != negate;
}

bool match(std::u32string_view pattern, std::u32string_view text) {
    std::size_t p = 0, t = 0;
    std::size_t star_p = std::u32string_view::npos, star_t = 0;
    while (t < text.size()) {
        if (p < pattern.size()) {
            char32_t pc = pattern[p];
            if (pc == U'*') {
                star_p = p++;
                star_t = t;
                continue;
            }
            if (pc == U'?') {
                ++p;
                ++t;
                continue;
            }
            if (pc == U'[') {
                std::size_t end = 0;
                bool is_class = false;
                bool ok = match_class(pattern, p, text[t], end, is_class);
                if (is_class && ok) {
                    p = end;
                    ++t;
                    continue;
                }
                if (!is_class && text[t] == U'[') {
                    ++p;
                    ++t;
                    continue;
                }
            } else if (pc == text[t]) {
                ++p;
                ++t;
                continue;
            }
        }
        if (star_p == std::u32string_view::npos) return false;
        p = star_p + 1;
        t = ++star_t;
    }
    while (p < pattern.size() && pattern[p] == U'*') ++p;
    return p == pattern.size();
}

}  // namespace

bool glob_match(std::string_view pattern, std::string_view text) {
    return match(code_points(pattern), code_points(text));
}

}  // namespace launcher::core
