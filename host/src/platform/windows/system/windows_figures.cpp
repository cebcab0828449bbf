#include "platform/windows/system/windows_figures.hpp"

#include <limits>

namespace launcher::platform::windows_system {

namespace {

std::uint64_t pages_beyond(std::uint64_t page_size, std::uint64_t pages, std::uint64_t physical) {
    if (pages <= physical) return 0;
    auto excess = pages - physical;
    if (excess > std::numeric_limits<std::uint64_t>::max() / page_size)
        return std::numeric_limits<std::uint64_t>::max();
    return excess * page_size;
}

// UTF-16 to UTF-8; null when a surrogate is unpaired.
std::optional<std::string> utf8_from_utf16(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t code = text[i];
        if (code >= 0xDC00 && code <= 0xDFFF) return std::nullopt;
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return std::nullopt;
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace

SwapFigures swap_from_performance(const PerformanceCounts& counts) {
    if (counts.page_size == 0) return {};
    return {pages_beyond(counts.page_size, counts.commit_limit, counts.physical_total),
            pages_beyond(counts.page_size, counts.commit_total, counts.physical_total)};
}

ProcessorTimes processor_times(std::uint64_t idle, std::uint64_t kernel, std::uint64_t user) {
    return {idle, kernel + user};
}

std::string version_text(const std::optional<WindowsVersion>& version) {
    if (!version) return "Unknown";
    return std::to_string(version->major) + "." + std::to_string(version->minor) + "." + std::to_string(version->build);
}

OsFacts os_facts(const std::optional<WindowsVersion>& version) {
    return {"\r\n", "windows", "windows", "windows", version_text(version), "x86_64", "exe"};
}

std::optional<std::string> first_preferred_language(std::u16string_view languages) {
    while (!languages.empty()) {
        auto piece = languages.substr(0, languages.find(u'\0'));
        languages.remove_prefix(std::min(languages.size(), piece.size() + 1));
        if (piece.empty()) continue;
        if (auto text = utf8_from_utf16(piece)) return text;
    }
    return std::nullopt;
}

}  // namespace launcher::platform::windows_system
