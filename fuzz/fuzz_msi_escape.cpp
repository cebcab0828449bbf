// msiexec's command line: however the relaunch arguments read, the LAUNCHAPPARGS property stays
// one quoted value (every quote inside it is doubled), so no argument can end the property and add
// options or properties of its own; and arguments msiexec and then the launcher's C runtime read
// back come back unchanged where the escaping can promise it: no backslash, no tab, and for an
// argument of the form -name=value nothing in its name that needs quoting (the escaping leaves
// the name outside the quotes).

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.hpp"
#include "installer/installer_arguments.hpp"
#include "platform/linux/shell/windows_command_line.hpp"

using launcher::fuzz::require;
using namespace launcher::installer;

namespace {

// The property value msiexec reads from LAUNCHAPPARGS="...": "" stands for one quote. Fails when a
// lone quote would end the value early.
std::optional<std::string> unquote_property(std::string_view element) {
    constexpr std::string_view prefix = "LAUNCHAPPARGS=\"";
    if (!element.starts_with(prefix) || !element.ends_with('"') || element.size() < prefix.size() + 1) {
        return std::nullopt;
    }
    auto inner = element.substr(prefix.size(), element.size() - prefix.size() - 1);
    std::string value;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] != '"') {
            value += inner[i];
            continue;
        }
        if (i + 1 >= inner.size() || inner[i + 1] != '"') return std::nullopt;
        value += '"';
        ++i;
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> relaunch;
    std::string_view text = launcher::fuzz::as_text(data, size);
    while (!text.empty()) {
        auto nul = text.find('\0');
        relaunch.emplace_back(text.substr(0, nul));
        text.remove_prefix(nul == std::string_view::npos ? text.size() : nul + 1);
    }
    auto arguments = msi_arguments(InstallMode::passive, "C:\\Temp\\u\\setup.msi", relaunch, {});
    auto value = unquote_property(arguments.back());
    require(value.has_value(), "LAUNCHAPPARGS stays one quoted value", arguments.back());

    bool plain = true;
    for (const auto& argument : relaunch) {
        if (argument.find_first_of("\\\t") != std::string::npos) plain = false;
        auto equals = argument.find('=');
        if (argument.starts_with('-') && equals != std::string::npos &&
            argument.substr(0, equals).find_first_of(" \"") != std::string::npos) {
            plain = false;
        }
    }
    if (plain) {
        auto split = launcher::platform::linux_shell::split_windows_command_line(*value);
        require(split == relaunch, "relaunch arguments come back from LAUNCHAPPARGS", *value);
    }
    return 0;
}
