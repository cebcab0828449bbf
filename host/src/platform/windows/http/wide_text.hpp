#pragma once

#include <string>
#include <string_view>

namespace launcher::lib::http {

// UTF-8 to the UTF-16 of the Windows API and back. Bytes that are not UTF-8 (HTTP allows
// Latin-1 in header values) are taken one character each.
std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

}  // namespace launcher::lib::http
