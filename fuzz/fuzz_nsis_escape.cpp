// The NSIS installer's command line: relaunch arguments escaped for it and joined into the
// parameter string must come back unchanged, each as one argument, when the installer's C runtime
// splits that string, and no argument can add a switch of its own.

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.hpp"
#include "installer/installer_arguments.hpp"
#include "platform/linux/shell/windows_command_line.hpp"

using launcher::fuzz::require;
using namespace launcher::installer;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Relaunch arguments separated by NUL bytes, which a command line cannot hold.
    std::vector<std::string> relaunch;
    std::string_view text = launcher::fuzz::as_text(data, size);
    while (!text.empty() || relaunch.empty()) {
        auto nul = text.find('\0');
        relaunch.emplace_back(text.substr(0, nul));
        text.remove_prefix(nul == std::string_view::npos ? text.size() : nul + 1);
    }
    for (auto mode : {InstallMode::passive, InstallMode::quiet, InstallMode::basic_ui}) {
        auto arguments = nsis_arguments(mode, relaunch, {});
        auto split = launcher::platform::linux_shell::split_windows_command_line(parameter_string(arguments));
        std::vector<std::string> expected(arguments.begin(), arguments.end() - static_cast<long>(relaunch.size()));
        expected.insert(expected.end(), relaunch.begin(), relaunch.end());
        require(split == expected, "relaunch arguments survive the installer's command line",
                parameter_string(arguments));
    }
    return 0;
}
