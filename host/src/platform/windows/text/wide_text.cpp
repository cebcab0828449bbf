#include "platform/windows/text/wide_text.hpp"

#include <windows.h>

#include <memory>

namespace launcher::platform::windows_text {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    auto length = static_cast<int>(utf8.size());
    int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), size);
    return wide;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    auto length = static_cast<int>(utf16.size());
    int size = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, text.data(), size, nullptr, nullptr);
    return text;
}

std::string system_message(unsigned long code) {
    struct LocalDeleter {
        void operator()(wchar_t* text) const { LocalFree(text); }
    };
    wchar_t* raw = nullptr;
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
    std::unique_ptr<wchar_t, LocalDeleter> owned(raw);
    if (length == 0) return "error " + std::to_string(code);
    std::wstring_view text(raw, length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.remove_suffix(1);
    return narrow(text);
}

}  // namespace launcher::platform::windows_text
