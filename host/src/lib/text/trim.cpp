#include "lib/text/trim.hpp"

namespace launcher::lib::text {

std::string_view trim(std::string_view text) {
    constexpr std::string_view blank = " \t\r\n";
    auto first = text.find_first_not_of(blank);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blank) - first + 1);
}

}  // namespace launcher::lib::text
