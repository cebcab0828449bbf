#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/json.hpp"

namespace launcher {
namespace {

struct Run {
    int exit_code;
    std::string out;
};

Run run_report(const std::string& arguments) {
    // Quoted: the build folder may lie under a path with spaces.
    std::string command = "'" + std::string(LAUNCHER_REPORT) + "' " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::vector<std::string> keys(const Json& object) {
    std::vector<std::string> names;
    for (const auto& [key, value] : object.items()) names.push_back(key);
    return names;
}

TEST(LauncherReport, PrintsTheSystemReport) {
    auto compact = run_report("");
    ASSERT_EQ(compact.exit_code, 0);
    auto report = Json::parse(compact.out);
    EXPECT_EQ(compact.out, to_compact(report) + "\n");
    EXPECT_EQ(keys(report), (std::vector<std::string>{"system", "cpu", "gpu", "memory"}));
    EXPECT_EQ(keys(report["system"]), (std::vector<std::string>{"arch", "platform", "type", "version", "locale"}));
    EXPECT_EQ(report["system"]["type"], "linux");
    EXPECT_EQ(report["system"]["platform"], "linux");
    EXPECT_EQ(report["system"]["arch"], "x86_64");
    EXPECT_EQ(report["cpu"]["cpu_count"], static_cast<std::size_t>(sysconf(_SC_NPROCESSORS_ONLN)));
    EXPECT_TRUE(report["gpu"].is_array());
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kib = 0;
    meminfo >> key >> kib;
    EXPECT_EQ(report["memory"]["total_memory"], kib * 1024);

    auto pretty = run_report("--pretty");
    ASSERT_EQ(pretty.exit_code, 0);
    EXPECT_TRUE(pretty.out.starts_with("{\n  \"system\": {\n    \"arch\": ")) << pretty.out.substr(0, 40);
    auto reread = Json::parse(pretty.out);
    reread["memory"] = report["memory"];  // memory is measured afresh on each run
    reread["cpu"] = report["cpu"];        // and so is processor usage
    EXPECT_EQ(reread, report);

    EXPECT_EQ(run_report("--bogus").exit_code, 2);
}

}  // namespace
}  // namespace launcher
