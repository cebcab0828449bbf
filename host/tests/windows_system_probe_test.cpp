// The Windows probes against what the system itself reports through other doors: the registry
// keys Windows fills at boot, the summed processor times and the user's default UI language.
// Run under wine here; the same assertions hold on a real Windows machine.

#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <numeric>
#include <optional>
#include <string>

#include "platform/system_probe.hpp"

namespace launcher::platform {
namespace {

std::string utf8(const std::wstring& text) {
    int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::optional<std::wstring> registry_text(const wchar_t* key, const wchar_t* name) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

std::optional<DWORD> registry_number(const wchar_t* key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::string trimmed(std::string text) {
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

constexpr auto processor_key = L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr auto version_key = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

TEST(WindowsSystemProbe, MemoryAndSwapMatchTheSystemsFigures) {
    auto probe = make_system_probe();
    auto memory = probe->memory();
    ASSERT_TRUE(memory);
    // The total is fixed for the process's life; the performance information counts it in pages.
    PERFORMANCE_INFORMATION info{};
    ASSERT_TRUE(K32GetPerformanceInfo(&info, sizeof info));
    EXPECT_EQ(memory->total, std::uint64_t{info.PhysicalTotal} * info.PageSize);
    EXPECT_GT(memory->available, 0u);
    EXPECT_LE(memory->available, memory->total);

    auto swap = probe->swap();
    ASSERT_TRUE(swap);
    std::uint64_t beyond = info.CommitLimit > info.PhysicalTotal ? info.CommitLimit - info.PhysicalTotal : 0;
    EXPECT_EQ(swap->total, beyond * info.PageSize);
    EXPECT_LE(swap->used, swap->total);
}

TEST(WindowsSystemProbe, ProcessorsMatchTheSystemsCount) {
    auto probe = make_system_probe();
    auto count = probe->logical_processors();
    EXPECT_EQ(count, GetActiveProcessorCount(ALL_PROCESSOR_GROUPS));

    auto frequencies = probe->frequencies_mhz();
    ASSERT_TRUE(frequencies);
    EXPECT_EQ(frequencies->size(), count);

    // Per-processor times only grow, and GetSystemTimes reports their sums: a sum read between two
    // readings of the probe lies between their sums.
    auto before = probe->processor_times();
    FILETIME idle{}, kernel{}, user{};
    ASSERT_TRUE(GetSystemTimes(&idle, &kernel, &user));
    auto after = probe->processor_times();
    ASSERT_TRUE(before && after);
    ASSERT_EQ(before->size(), count);
    ASSERT_EQ(after->size(), count);
    auto ticks = [](FILETIME t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    auto sum = [](const std::vector<ProcessorTimes>& times, std::uint64_t ProcessorTimes::*field) {
        return std::accumulate(times.begin(), times.end(), std::uint64_t{0},
                               [field](std::uint64_t total, const ProcessorTimes& t) { return total + t.*field; });
    };
    EXPECT_LE(sum(*before, &ProcessorTimes::idle), ticks(idle));
    EXPECT_GE(sum(*after, &ProcessorTimes::idle), ticks(idle));
    EXPECT_LE(sum(*before, &ProcessorTimes::total), ticks(kernel) + ticks(user));
    EXPECT_GE(sum(*after, &ProcessorTimes::total), ticks(kernel) + ticks(user));
    for (const auto& t : *after) EXPECT_LE(t.idle, t.total);
}

TEST(WindowsSystemProbe, IdentityMatchesTheProcessorKey) {
    auto identity = make_system_probe()->processor_identity();
    auto vendor = registry_text(processor_key, L"VendorIdentifier");
    ASSERT_TRUE(vendor) << "the system describes no processor";
    EXPECT_EQ(identity.vendor_id, utf8(*vendor));
    // Windows pads the brand it stores; the identification instruction's text may be padded too.
    if (auto brand = registry_text(processor_key, L"ProcessorNameString"))
        EXPECT_EQ(trimmed(identity.brand), trimmed(utf8(*brand)));
}

TEST(WindowsOsProbe, FactsOfTheRunningSystem) {
    auto facts = make_os_probe()->facts();
    EXPECT_EQ(facts.os_type, "windows");
    EXPECT_EQ(facts.arch, "x86_64");
    auto major = registry_number(version_key, L"CurrentMajorVersionNumber");
    auto minor = registry_number(version_key, L"CurrentMinorVersionNumber");
    auto build = registry_text(version_key, L"CurrentBuildNumber");
    ASSERT_TRUE(major && minor && build) << "the system records no Windows 10 version";
    EXPECT_EQ(facts.version, std::to_string(*major) + "." + std::to_string(*minor) + "." + utf8(*build));
}

TEST(WindowsOsProbe, LocaleIsTheUsersUiLanguage) {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    ASSERT_GT(LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0), 0);
    EXPECT_EQ(make_os_probe()->locale(), utf8(name));
}

}  // namespace
}  // namespace launcher::platform
