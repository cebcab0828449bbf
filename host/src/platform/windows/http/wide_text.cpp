#include "platform/windows/http/wide_text.hpp"

#include <windows.h>

namespace launcher::lib::http {

std::wstring widen(std::string_view text) {
    if (text.empty()) return {};
    int size = static_cast<int>(text.size());
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring(text.begin(), text.end());  // Latin-1: each byte its own character
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, out.data(), length);
    return out;
}

std::string narrow(std::wstring_view text) {
    if (text.empty()) return {};
    int size = static_cast<int>(text.size());
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), length, nullptr, nullptr);
    return out;
}

}  // namespace launcher::lib::http
