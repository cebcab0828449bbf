#pragma once

#include <string>
#include <string_view>

namespace launcher::lib::http {

// UTF-8 to the UTF-16 of the Windows API, as the shared conversion does, except that text which
// is not UTF-8 (HTTP allows Latin-1 in header values) is taken a byte a character rather than
// replaced. Back to UTF-8 goes through the shared conversion alone.
std::wstring widen(std::string_view text);

}  // namespace launcher::lib::http
