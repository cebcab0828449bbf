#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/system/cpuid.hpp"
#include "platform/linux/system/proc_files.hpp"
#include "platform/system_probe.hpp"

namespace launcher::platform::linux_system {
namespace {

TEST(ProcFiles, MemoryAndSwapFromMeminfo) {
    struct Case {
        const char* what;
        std::string meminfo;
        std::optional<std::pair<std::uint64_t, std::uint64_t>> memory;
        std::optional<std::pair<std::uint64_t, std::uint64_t>> swap;
    };
    const std::vector<Case> cases = {
        {"current kernel",
         "MemTotal:       24683728 kB\nMemFree:        24096940 kB\nMemAvailable:   24290032 kB\n"
         "Buffers:            4356 kB\nSwapCached:            0 kB\nSwapTotal:       2097148 kB\n"
         "SwapFree:        2000000 kB\n",
         {{24683728ull * 1024, 24290032ull * 1024}},
         {{2097148ull * 1024, 97148ull * 1024}}},
        {"kernel before MemAvailable",
         "MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 20 kB\nCached: 300 kB\nSwapCached: 7 kB\n"
         "SwapTotal: 0 kB\nSwapFree: 0 kB\n",
         {{1000 * 1024, 420 * 1024}},
         {{0, 0}}},
        {"no swap lines, no trailing newline", "MemTotal: 8 kB\nMemAvailable: 4 kB", {{8192, 4096}}, std::nullopt},
        {"free swap above total is no used swap",
         "MemTotal: 8 kB\nMemAvailable: 4 kB\nSwapTotal: 1 kB\nSwapFree: 2 kB\n",
         {{8192, 4096}},
         {{1024, 0}}},
        {"unreadable", "garbage\nMemTotal: lots\n", std::nullopt, std::nullopt},
        {"empty", "", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        auto memory = memory_from_meminfo(c.meminfo);
        ASSERT_EQ(memory.has_value(), c.memory.has_value()) << c.what;
        if (memory) EXPECT_EQ(std::pair(memory->total, memory->available), *c.memory) << c.what;
        auto swap = swap_from_meminfo(c.meminfo);
        ASSERT_EQ(swap.has_value(), c.swap.has_value()) << c.what;
        if (swap) EXPECT_EQ(std::pair(swap->total, swap->used), *c.swap) << c.what;
    }
}

TEST(ProcFiles, ProcessorTimesFromStat) {
    const std::string stat =
        "cpu  400 10 200 3000 50 5 5 0 0 0\n"
        "cpu0 100 5 100 1500 20 2 3 7 40 0\n"
        "cpu1 300 5 100 1500 30 3 2 0 0 0\n"
        "intr 12345 0 0\n"
        "cpu3 1 2 3 4\n"  // an old kernel with four fields
        "ctxt 999\n";
    auto times = processor_times_from_stat(stat);
    ASSERT_EQ(times.size(), 3u);
    EXPECT_EQ(times[0].idle, 1520u);
    EXPECT_EQ(times[0].total, 1737u);  // guest (40) is already inside user
    EXPECT_EQ(times[1].idle, 1530u);
    EXPECT_EQ(times[1].total, 1940u);
    EXPECT_EQ(times[2].idle, 4u);
    EXPECT_EQ(times[2].total, 10u);
    EXPECT_TRUE(processor_times_from_stat("cpu  1 2 3 4\n").empty());
}

TEST(ProcFiles, FrequenciesFromCpuinfo) {
    const std::string cpuinfo =
        "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu MHz\t\t: 2596.150\ncache size\t: 33792 KB\n\n"
        "processor\t: 1\ncpu MHz\t\t: 799.5\n\n"
        "processor\t: 2\ncpu MHz\t\t: fast\n\n";
    EXPECT_EQ(frequencies_from_cpuinfo(cpuinfo), (std::vector<std::uint64_t>{2596, 800, 0}));
    EXPECT_TRUE(frequencies_from_cpuinfo("processor : 0\nBogoMIPS : 48.00\n").empty());
}

TEST(ProcFiles, VersionFromOsRelease) {
    struct Case {
        std::string text;
        std::optional<std::string> version;
    };
    const std::vector<Case> cases = {
        {"PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nVERSION_ID=\"12\"\nVERSION=\"12 (bookworm)\"\n", "12"},
        {"NAME=Ubuntu\nVERSION_ID=22.04\n", "22.04"},
        {"VERSION_ID='3.19'\n", "3.19"},
        {"VERSION_ID=\"a\\\"b\\\\c\"\n", "a\"b\\c"},
        {"NAME=\"Arch Linux\"\nBUILD_ID=rolling\n", std::nullopt},
        {"VERSION_ID=\"\"\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(version_from_os_release(c.text), c.version) << c.text;
}

TEST(ProcFiles, LanguageFromLocaleEnvironment) {
    struct Case {
        LocaleEnvironment environment;
        std::optional<std::string> language;
    };
    const std::vector<Case> cases = {
        {{nullptr, nullptr, nullptr, "ru_RU.UTF-8"}, "ru-RU"},
        {{nullptr, nullptr, nullptr, "de_DE@euro"}, "de-DE"},
        {{nullptr, nullptr, nullptr, "fr"}, "fr"},
        {{nullptr, nullptr, nullptr, "es_419.UTF-8"}, "es-419"},
        {{nullptr, nullptr, nullptr, "EN_us"}, "en-US"},
        {{nullptr, nullptr, nullptr, "C.UTF-8"}, std::nullopt},
        {{nullptr, nullptr, nullptr, "POSIX"}, std::nullopt},
        {{nullptr, nullptr, nullptr, nullptr}, std::nullopt},
        {{"", "", "", ""}, std::nullopt},
        {{nullptr, nullptr, "pt_BR.UTF-8", "en_US.UTF-8"}, "pt-BR"},
        {{nullptr, "uk_UA.UTF-8", "pt_BR.UTF-8", "en_US.UTF-8"}, "uk-UA"},
        {{nullptr, "", "pt_BR.UTF-8", "en_US.UTF-8"}, "pt-BR"},
        {{nullptr, "C", nullptr, "en_US.UTF-8"}, std::nullopt},  // LC_ALL=C is in effect
        {{"sv:de_DE", nullptr, nullptr, "en_US.UTF-8"}, "sv"},
        {{":C:nb_NO", nullptr, nullptr, "en_US.UTF-8"}, "nb-NO"},
        {{"", nullptr, nullptr, "en_GB.UTF-8"}, "en-GB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(first_language(c.environment), c.language)
            << (c.environment.language ? c.environment.language : "-") << " / "
            << (c.environment.lang ? c.environment.lang : "-");
    }
}

// Registers as the instruction fills them, from the texts they hold.
CpuidLeaves leaves(std::string_view vendor, std::string_view brand, std::uint32_t highest_extended) {
    CpuidLeaves l;
    char v[12] = {};
    std::copy(vendor.begin(), vendor.begin() + std::min<std::size_t>(12, vendor.size()), v);
    std::memcpy(&l.leaf0[1], v, 4);      // ebx
    std::memcpy(&l.leaf0[3], v + 4, 4);  // edx
    std::memcpy(&l.leaf0[2], v + 8, 4);  // ecx
    char b[48] = {};
    std::copy(brand.begin(), brand.begin() + std::min<std::size_t>(48, brand.size()), b);
    std::memcpy(l.brand.data(), b, 48);
    l.highest_extended = highest_extended;
    return l;
}

TEST(Cpuid, VendorAndBrandTexts) {
    using namespace std::string_view_literals;
    struct Case {
        CpuidLeaves leaves;
        std::string vendor;
        std::string brand;
    };
    const std::vector<Case> cases = {
        {leaves("GenuineIntel", "   Intel(R) Xeon(R) Platinum 8370C CPU @ 2.80GHz", 0x80000008), "GenuineIntel",
         "   Intel(R) Xeon(R) Platinum 8370C CPU @ 2.80GHz"},  // all 48 bytes, no NUL
        {leaves("AuthenticAMD", "AMD Ryzen 7 5800X 8-Core Processor", 0x80000004), "AuthenticAMD",
         "AMD Ryzen 7 5800X 8-Core Processor"},
        {leaves("AuthenticAMD", "hidden", 0x80000003), "AuthenticAMD", ""},
        {leaves("Short\0Vendor"sv, "Brand\0tail"sv, 0x80000004), "Short", "Brand"},
        {leaves("\xff\xfe\xfd\xfc\xfb\xfa\xf9\xf8\xf7\xf6\xf5\xf4", "\xc3\x28 bad", 0x80000004), "x86_64", ""},
        {leaves("CentaurHauls", "VIA Nano \xe2\x84\xa2", 0x80000004), "CentaurHauls", "VIA Nano ™"},
    };
    for (const auto& c : cases) {
        auto identity = identity_from_cpuid(c.leaves, "x86_64");
        EXPECT_EQ(identity.vendor_id, c.vendor);
        EXPECT_EQ(identity.brand, c.brand);
    }
}

std::string read_text(const char* path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// eax, ebx, ecx, edx of one leaf of the identification instruction.
std::array<std::uint32_t, 4> instruction_registers(std::uint32_t leaf) {
    std::array<std::uint32_t, 4> r{};
    asm volatile("cpuid" : "=a"(r[0]), "=b"(r[1]), "=c"(r[2]), "=d"(r[3]) : "a"(leaf), "c"(0));
    return r;
}

// The bytes of the given registers of the given leaves, in order, cut at the first NUL.
std::string instruction_text(std::initializer_list<std::uint32_t> leaves, std::initializer_list<int> registers) {
    std::string text;
    for (auto leaf : leaves) {
        auto r = instruction_registers(leaf);
        for (int i : registers) text.append(reinterpret_cast<const char*>(&r[i]), 4);
    }
    return text.substr(0, text.find('\0'));
}

TEST(LinuxSystemProbe, AgreesWithTheKernel) {
    auto probe = make_system_probe();
    EXPECT_EQ(probe->logical_processors(), static_cast<std::size_t>(sysconf(_SC_NPROCESSORS_ONLN)));
    auto times = probe->processor_times();
    ASSERT_TRUE(times);
    EXPECT_EQ(times->size(), probe->logical_processors());
    auto memory = probe->memory();
    ASSERT_TRUE(memory);
    EXPECT_EQ(memory->total, memory_from_meminfo(read_text("/proc/meminfo"))->total);
    EXPECT_LE(memory->available, memory->total);
    // The vendor and brand are the identification instruction's own texts, asked here without the
    // probe's code. The kernel's "model name" is no reference: a VM may name its processor there
    // differently ("AMD EPYC" beside its own brand string).
    auto identity = probe->processor_identity();
    EXPECT_EQ(identity.vendor_id, instruction_text({0}, {1, 3, 2}));
    std::string brand;
    if (instruction_registers(0x80000000)[0] >= 0x80000004) {
        brand = instruction_text({0x80000002, 0x80000003, 0x80000004}, {0, 1, 2, 3});
    }
    // A brand that is not UTF-8 is left out (the table above covers that); any other is kept whole.
    bool ascii = std::all_of(brand.begin(), brand.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        EXPECT_EQ(identity.brand, brand);
    } else {
        EXPECT_TRUE(identity.brand == brand || identity.brand.empty()) << identity.brand;
    }
}

TEST(LinuxOsProbe, FactsOfThisBuild) {
    auto facts = make_os_probe()->facts();
    EXPECT_EQ(facts.eol, "\n");
    EXPECT_EQ(facts.os_type, "linux");
    EXPECT_EQ(facts.platform, "linux");
    EXPECT_EQ(facts.family, "unix");
    EXPECT_EQ(facts.arch, "x86_64");
    EXPECT_EQ(facts.exe_extension, "");
    EXPECT_EQ(facts.version, version_from_os_release(read_text("/etc/os-release")).value_or("Unknown"));
}

TEST(LinuxOsProbe, LocaleIsReadAfreshEachCall) {
    auto probe = make_os_probe();
    ::setenv("LANGUAGE", "", 1);
    ::setenv("LC_ALL", "", 1);
    ::setenv("LC_MESSAGES", "", 1);
    ::setenv("LANG", "ru_RU.UTF-8", 1);
    EXPECT_EQ(probe->locale(), "ru-RU");
    ::setenv("LANGUAGE", "de_AT:ru", 1);
    EXPECT_EQ(probe->locale(), "de-AT");
    ::unsetenv("LANGUAGE");
    ::setenv("LANG", "C.UTF-8", 1);
    EXPECT_EQ(probe->locale(), std::nullopt);
}

}  // namespace
}  // namespace launcher::platform::linux_system
