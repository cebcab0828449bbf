#include "platform/linux/system/proc_files.hpp"

#include <charconv>
#include <cmath>
#include <limits>

#include "lib/text/trim.hpp"

namespace launcher::platform::linux_system {

namespace {

using lib::text::trim;

// Splits text into lines, without the line breaks.
template <class Visit>
void for_each_line(std::string_view text, Visit visit) {
    while (!text.empty()) {
        auto end = text.find('\n');
        visit(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

std::optional<std::uint64_t> parse_unsigned(std::string_view text) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}

std::uint64_t kib_to_bytes(std::uint64_t kib) {
    constexpr auto max = std::numeric_limits<std::uint64_t>::max();
    return kib > max / 1024 ? max : kib * 1024;
}

// The value of a "Key:   1234 kB" line of /proc/meminfo, in bytes.
std::optional<std::uint64_t> meminfo_field(std::string_view meminfo, std::string_view key) {
    std::optional<std::uint64_t> found;
    for_each_line(meminfo, [&](std::string_view line) {
        if (found || !line.starts_with(key) || line.size() <= key.size() || line[key.size()] != ':') return;
        auto value = trim(line.substr(key.size() + 1));
        if (auto kib = parse_unsigned(value.substr(0, value.find(' ')))) found = kib_to_bytes(*kib);
    });
    return found;
}

bool is_letters(std::string_view text, std::size_t min, std::size_t max) {
    if (text.size() < min || text.size() > max) return false;
    for (char c : text) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
    }
    return true;
}

bool is_digits(std::string_view text) {
    if (text.size() != 3) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

std::optional<MemoryFigures> memory_from_meminfo(std::string_view meminfo) {
    auto total = meminfo_field(meminfo, "MemTotal");
    if (!total) return std::nullopt;
    auto available = meminfo_field(meminfo, "MemAvailable");
    if (!available) {
        available = meminfo_field(meminfo, "MemFree").value_or(0) + meminfo_field(meminfo, "Buffers").value_or(0) +
                    meminfo_field(meminfo, "Cached").value_or(0);
    }
    return MemoryFigures{*total, *available};
}

std::optional<SwapFigures> swap_from_meminfo(std::string_view meminfo) {
    auto total = meminfo_field(meminfo, "SwapTotal");
    auto free = meminfo_field(meminfo, "SwapFree");
    if (!total || !free) return std::nullopt;
    return SwapFigures{*total, *total > *free ? *total - *free : 0};
}

std::vector<ProcessorTimes> processor_times_from_stat(std::string_view stat) {
    std::vector<ProcessorTimes> processors;
    for_each_line(stat, [&](std::string_view line) {
        if (!line.starts_with("cpu") || line.size() < 4 || line[3] < '0' || line[3] > '9') return;
        line.remove_prefix(line.find(' ') == std::string_view::npos ? line.size() : line.find(' '));
        std::vector<std::uint64_t> fields;
        while (fields.size() < 8) {
            line = trim(line);
            auto value = parse_unsigned(line.substr(0, line.find(' ')));
            if (!value) break;
            fields.push_back(*value);
            line.remove_prefix(std::min(line.size(), line.find(' ')));
        }
        fields.resize(8, 0);
        ProcessorTimes times;
        times.idle = fields[3] + fields[4];
        for (auto value : fields) times.total += value;
        processors.push_back(times);
    });
    return processors;
}

std::vector<std::uint64_t> frequencies_from_cpuinfo(std::string_view cpuinfo) {
    std::vector<std::uint64_t> frequencies;
    for_each_line(cpuinfo, [&](std::string_view line) {
        auto colon = line.find(':');
        if (colon == std::string_view::npos || trim(line.substr(0, colon)) != "cpu MHz") return;
        auto text = trim(line.substr(colon + 1));
        double mhz = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), mhz);
        bool valid = error == std::errc() && end != text.data() && std::isfinite(mhz) && mhz >= 0;
        frequencies.push_back(valid ? static_cast<std::uint64_t>(std::llround(mhz)) : 0);
    });
    return frequencies;
}

std::optional<std::string> version_from_os_release(std::string_view os_release) {
    std::optional<std::string> version;
    for_each_line(os_release, [&](std::string_view line) {
        if (!line.starts_with("VERSION_ID=")) return;
        auto value = trim(line.substr(11));
        std::string text;
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            bool single = value.front() == '\'';
            value = value.substr(1, value.size() - 2);
            for (std::size_t i = 0; i < value.size(); ++i) {
                // Inside double quotes a backslash escapes $, `, " and \ as in the shell.
                if (!single && value[i] == '\\' && i + 1 < value.size() &&
                    std::string_view("$`\"\\").find(value[i + 1]) != std::string_view::npos) {
                    ++i;
                }
                text += value[i];
            }
        } else {
            text = std::string(value);
        }
        version = text.empty() ? std::nullopt : std::optional(text);
    });
    return version;
}

std::optional<std::string> language_tag(std::string_view posix_locale) {
    auto name = posix_locale.substr(0, posix_locale.find_first_of(".@"));
    auto underscore = name.find('_');
    auto language = name.substr(0, underscore);
    if (!is_letters(language, 2, 3)) return std::nullopt;
    std::string tag;
    for (char c : language) tag += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (underscore == std::string_view::npos) return tag;
    auto region = name.substr(underscore + 1);
    if (is_letters(region, 2, 2)) {
        tag += '-';
        for (char c : region) tag += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    } else if (is_digits(region)) {
        tag += '-';
        tag += region;
    }
    return tag;
}

std::optional<std::string> first_language(const LocaleEnvironment& environment) {
    if (environment.language) {
        std::string_view list = environment.language;
        while (!list.empty()) {
            auto entry = list.substr(0, list.find(':'));
            if (auto tag = language_tag(entry)) return tag;
            list.remove_prefix(std::min(list.size(), entry.size() + 1));
        }
    }
    for (const char* value : {environment.lc_all, environment.lc_messages, environment.lang}) {
        if (!value || !*value) continue;
        return language_tag(value);
    }
    return std::nullopt;
}

}  // namespace launcher::platform::linux_system
