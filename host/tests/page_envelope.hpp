#pragma once

#include <string>
#include <string_view>

namespace launcher::testing {

// A page message with the text "$TOKEN" standing for a view's bridge token, which a table of
// cases (or a fuzzer) cannot know beforehand.
inline std::string with_token(std::string_view text, const std::string& token) {
    std::string out(text);
    for (auto at = out.find("$TOKEN"); at != std::string::npos; at = out.find("$TOKEN", at + token.size())) {
        out.replace(at, 6, token);
    }
    return out;
}

}  // namespace launcher::testing
