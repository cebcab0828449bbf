#pragma once

#include <string>
#include <string_view>

namespace launcher::platform::windows_text {

// The host keeps text in UTF-8; the wide ("W") Windows functions take and give UTF-16. Invalid
// sequences become U+FFFD either way, so a conversion never fails.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The system's message for a Win32 error code, in UTF-8 and without the trailing line break;
// "error N" when the system has no text for it.
std::string system_message(unsigned long code);

}  // namespace launcher::platform::windows_text
