#pragma once

#include <string_view>

namespace launcher::core {

// Shell-style pattern match over the whole text: "*" matches any run of characters (including
// "/"), "?" one character, "[...]" a character class ("[!...]" negated); "\\" escapes nothing
// on purpose, so URL patterns such as "https://*" read as written.
bool glob_match(std::string_view pattern, std::string_view text);

}  // namespace launcher::core
