#include "core/glob.hpp"

#include <cstddef>

namespace launcher::core {

namespace {

// Matches one "[...]" class at pattern[p] against c; sets `end` past the closing bracket.
// A "[" without a closing bracket is a literal.
bool match_class(std::string_view pattern, std::size_t p, char c, std::size_t& end, bool& is_class) {
    std::size_t i = p + 1;
    bool negate = i < pattern.size() && pattern[i] == '!';
    if (negate) ++i;
    std::size_t first = i;
    bool matched = false;
    while (i < pattern.size() && (pattern[i] != ']' || i == first)) {
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
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

}  // namespace

bool glob_match(std::string_view pattern, std::string_view text) {
    std::size_t p = 0, t = 0;
    std::size_t star_p = std::string_view::npos, star_t = 0;
    while (t < text.size()) {
        if (p < pattern.size()) {
            char pc = pattern[p];
            if (pc == '*') {
                star_p = p++;
                star_t = t;
                continue;
            }
            if (pc == '?') {
                ++p;
                ++t;
                continue;
            }
            if (pc == '[') {
                std::size_t end = 0;
                bool is_class = false;
                bool ok = match_class(pattern, p, text[t], end, is_class);
                if (is_class && ok) {
                    p = end;
                    ++t;
                    continue;
                }
                if (!is_class && text[t] == '[') {
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
        if (star_p == std::string_view::npos) return false;
        p = star_p + 1;
        t = ++star_t;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace launcher::core
