#pragma once

#include <string_view>

namespace launcher::lib::text {

// The text without the spaces, tabs and line breaks at either end.
std::string_view trim(std::string_view text);

}  // namespace launcher::lib::text
