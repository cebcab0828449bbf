// launcher-report.exe, run as a player would run it, against what the Windows probes and the
// system itself answer in this process. Run under wine here; the assertions hold on Windows too.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/json.hpp"
#include "platform/graphics.hpp"
#include "platform/system_probe.hpp"

namespace launcher {
namespace {

struct Run {
    DWORD exit_code = static_cast<DWORD>(-1);
    std::string out;
};

// The tool's path as the build knows it, a path of the Unix side, as wine's Z: drive shows it.
std::wstring tool_path() {
    std::wstring path = L"Z:";
    for (char c : std::string(LAUNCHER_REPORT)) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

Run run_report(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    Run run;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return run;
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring command = L"\"" + tool_path() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    PROCESS_INFORMATION process{};
    bool started =
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(write_end);
    if (started) {
        char buffer[4096];
        for (DWORD n = 0; ReadFile(read_end, buffer, sizeof buffer, &n, nullptr) && n > 0;) run.out.append(buffer, n);
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.exit_code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(read_end);
    return run;
}

TEST(LauncherReport, AgreesWithTheWindowsProbes) {
    auto compact = run_report(L"");
    ASSERT_EQ(compact.exit_code, 0u);
    auto report = Json::parse(compact.out);
    // Standard output is in text mode, so the line ends as Windows lines do.
    EXPECT_EQ(compact.out, to_compact(report) + "\r\n");

    auto os = platform::make_os_probe();
    auto facts = os->facts();
    auto locale = os->locale();
    EXPECT_EQ(report["system"], (Json{{"arch", facts.arch},
                                      {"platform", facts.platform},
                                      {"type", facts.os_type},
                                      {"version", facts.version},
                                      {"locale", locale ? Json(*locale) : Json(nullptr)}}));
    EXPECT_EQ(report["system"]["type"], "windows");

    // The processors as the system counts them, each named by the identification instruction.
    auto probe = platform::make_system_probe();
    auto identity = probe->processor_identity();
    const auto& cpu = report["cpu"];
    EXPECT_EQ(cpu["cpu_count"], GetActiveProcessorCount(ALL_PROCESSOR_GROUPS));
    ASSERT_EQ(cpu["cpus"].size(), cpu["cpu_count"].get<std::size_t>());
    for (std::size_t i = 0; i < cpu["cpus"].size(); ++i) {
        const auto& one = cpu["cpus"][i];
        EXPECT_EQ(one["name"], "CPU " + std::to_string(i + 1));
        EXPECT_EQ(one["vendor_id"], identity.vendor_id);
        EXPECT_EQ(one["brand"], identity.brand);
        auto usage = one["cpu_usage"];
        EXPECT_TRUE(usage.is_null() || (usage.get<double>() >= 0 && usage.get<double>() <= 100)) << usage;
    }

    // Total memory is fixed while the machine runs; what is used changes from one reading to the next.
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ASSERT_TRUE(GlobalMemoryStatusEx(&status));
    const auto& memory = report["memory"];
    EXPECT_EQ(memory["total_memory"], status.ullTotalPhys);
    EXPECT_LE(memory["used_memory"].get<std::uint64_t>(), status.ullTotalPhys);
    auto swap = probe->swap();
    ASSERT_TRUE(swap);
    EXPECT_EQ(memory["total_swap"], swap->total);
    EXPECT_LE(memory["used_swap"].get<std::uint64_t>(), swap->total);
    EXPECT_EQ(report["gpu"], gpu::to_json(platform::list_gpus()));

    auto pretty = run_report(L"--pretty");
    ASSERT_EQ(pretty.exit_code, 0u);
    EXPECT_TRUE(pretty.out.starts_with("{\r\n  \"system\": {\r\n    \"arch\": ")) << pretty.out.substr(0, 40);
    auto reread = Json::parse(pretty.out);
    reread["memory"] = report["memory"];  // measured afresh on each run
    reread["cpu"] = report["cpu"];        // and so is processor usage
    EXPECT_EQ(reread, report);

    EXPECT_EQ(run_report(L"--bogus").exit_code, 2u);
}

}  // namespace
}  // namespace launcher
