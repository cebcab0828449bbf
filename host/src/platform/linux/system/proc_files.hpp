#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_probe.hpp"

namespace launcher::platform::linux_system {

// Readers of the kernel's text files, kept apart from the file reads so fixed texts test them.

// MemTotal and MemAvailable of /proc/meminfo, in bytes; MemFree + Buffers + Cached stands in for
// MemAvailable on kernels older than 3.14. Null without MemTotal.
std::optional<MemoryFigures> memory_from_meminfo(std::string_view meminfo);

// SwapTotal and SwapTotal - SwapFree of /proc/meminfo, in bytes. Null without either line.
std::optional<SwapFigures> swap_from_meminfo(std::string_view meminfo);

// The "cpuN" lines of /proc/stat in file order: idle is idle + iowait, total the sum of user,
// nice, system, idle, iowait, irq, softirq and steal (guest time is already inside user).
std::vector<ProcessorTimes> processor_times_from_stat(std::string_view stat);

// Each processor block's "cpu MHz" of /proc/cpuinfo, rounded to whole MHz, in file order.
std::vector<std::uint64_t> frequencies_from_cpuinfo(std::string_view cpuinfo);

// VERSION_ID of an os-release file with its shell quoting removed; null when absent or empty.
std::optional<std::string> version_from_os_release(std::string_view os_release);

// A POSIX locale name ("pt_BR.UTF-8@euro") as a language tag ("pt-BR"); null for "C", "POSIX" and
// anything that does not start with a language code.
std::optional<std::string> language_tag(std::string_view posix_locale);

// The user's first language from the locale variables as given (null for an unset one): the first
// entry of LANGUAGE's colon-separated list that names a language, else the locale in effect for
// messages (LC_ALL, else LC_MESSAGES, else LANG; an empty variable counts as unset).
struct LocaleEnvironment {
    const char* language = nullptr;
    const char* lc_all = nullptr;
    const char* lc_messages = nullptr;
    const char* lang = nullptr;
};
std::optional<std::string> first_language(const LocaleEnvironment& environment);

}  // namespace launcher::platform::linux_system
