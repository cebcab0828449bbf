#include "platform/windows/http/wide_text.hpp"

#include <windows.h>

#include "platform/windows/text/wide_text.hpp"

namespace launcher::lib::http {

std::wstring widen(std::string_view text) {
    int size = static_cast<int>(text.size());
    bool utf8 = text.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0) > 0;
    if (!utf8) return std::wstring(text.begin(), text.end());  // Latin-1: each byte its own character
    return platform::windows_text::widen(text);
}

}  // namespace launcher::lib::http
