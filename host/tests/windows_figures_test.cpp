#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/windows/system/windows_figures.hpp"

namespace launcher::platform::windows_system {
namespace {

constexpr auto max64 = std::numeric_limits<std::uint64_t>::max();

TEST(WindowsFigures, SwapIsCommitBeyondPhysicalMemory) {
    struct Case {
        const char* what;
        PerformanceCounts counts;
        std::uint64_t total;
        std::uint64_t used;
    };
    const std::vector<Case> cases = {
        // 16 GiB of RAM in 4 KiB pages, a 20 GiB commit limit, 18 GiB committed.
        {"typical", {4096, 5242880, 4718592, 4194304}, 4294967296ull, 2147483648ull},
        {"commit total below physical", {4096, 5242880, 1000000, 4194304}, 4294967296ull, 0},
        {"commit limit below physical", {4096, 4000000, 3000000, 4194304}, 0, 0},
        {"exactly physical", {4096, 4194304, 4194304, 4194304}, 0, 0},
        {"product overflows", {4096, max64, max64 / 2, 1}, max64, max64},
        {"largest product that fits", {2, max64 / 2 + 1, 1, 1}, max64 - 1, 0},
        {"no page size", {0, 10, 10, 1}, 0, 0},
    };
    for (const auto& c : cases) {
        auto swap = swap_from_performance(c.counts);
        EXPECT_EQ(swap.total, c.total) << c.what;
        EXPECT_EQ(swap.used, c.used) << c.what;
    }
}

TEST(WindowsFigures, KernelTimeIncludesIdle) {
    auto times = processor_times(700, 800, 150);
    EXPECT_EQ(times.idle, 700u);
    EXPECT_EQ(times.total, 950u);
}

TEST(WindowsFigures, OsFactsOfTheX64Build) {
    auto facts = os_facts(WindowsVersion{10, 0, 22631});
    EXPECT_EQ(facts.eol, "\r\n");
    EXPECT_EQ(facts.eol.size(), 2u);
    EXPECT_EQ(facts.os_type, "windows");
    EXPECT_EQ(facts.platform, "windows");
    EXPECT_EQ(facts.family, "windows");
    EXPECT_EQ(facts.version, "10.0.22631");
    EXPECT_EQ(facts.arch, "x86_64");
    EXPECT_EQ(facts.exe_extension, "exe");
    EXPECT_EQ(os_facts(std::nullopt).version, "Unknown");
    EXPECT_EQ(version_text(WindowsVersion{6, 1, 7601}), "6.1.7601");
    EXPECT_EQ(version_text(WindowsVersion{4294967295u, 0, 9}), "4294967295.0.9");
}

TEST(WindowsFigures, FirstPreferredLanguage) {
    using namespace std::string_literals;
    struct Case {
        std::u16string list;
        std::optional<std::string> first;
    };
    const std::vector<Case> cases = {
        {u"ru-RU\0en-US\0\0"s, "ru-RU"},
        {u"en-US\0\0"s, "en-US"},
        {u"\0\0de-DE\0\0"s, "de-DE"},
        {u"\xD800x\0fr-FR\0\0"s, "fr-FR"},    // unpaired high surrogate
        {u"\xDC00\0pt-BR\0\0"s, "pt-BR"},     // lone low surrogate
        {u"sr-Latn-RS\0"s, "sr-Latn-RS"},     // no closing NUL
        {u"\xD83C\xDFAE-\x4E2D\0"s, "🎮-中"},  // surrogate pair and BMP text convert to UTF-8
        {u"\0\0"s, std::nullopt},
        {u""s, std::nullopt},
        {u"\xD800\0\0"s, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(first_preferred_language(c.list), c.first);
}

}  // namespace
}  // namespace launcher::platform::windows_system
