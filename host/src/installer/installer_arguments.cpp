#include "installer/installer_arguments.hpp"

#include "platform/windows/shell/command_line.hpp"

namespace launcher::installer {

std::string nsis_escape(std::string_view argument) { return platform::windows_shell::quote_argument(argument, " \t/"); }

std::string msi_escape(std::string_view argument) {
    if (argument.empty()) return R"("""")";
    if (argument.find_first_of(" \"") == std::string_view::npos) return std::string(argument);
    std::string quoted;
    for (char c : argument) {
        if (c == '"')
            quoted += R"("""")";
        else
            quoted += c;
    }
    auto equals = quoted.find('=');
    if (quoted.starts_with('-') && equals != std::string::npos)
        return quoted.substr(0, equals) + R"(="")" + quoted.substr(equals + 1) + R"("")";
    return R"("")" + quoted + R"("")";
}

namespace {

std::vector<std::string> nsis_mode_switches(InstallMode mode) {
    switch (mode) {
    case InstallMode::basic_ui:
        return {};
    case InstallMode::quiet:
        return {"/S", "/R"};
    case InstallMode::passive:
        return {"/P", "/R"};
    }
    return {};
}

std::string msiexec_mode_switch(InstallMode mode) {
    switch (mode) {
    case InstallMode::basic_ui:
        return "/qb+";
    case InstallMode::quiet:
        return "/quiet";
    case InstallMode::passive:
        return "/passive";
    }
    return {};
}

}  // namespace

std::vector<std::string> nsis_arguments(InstallMode mode, const std::vector<std::string>& relaunch_args,
                                        const std::vector<std::string>& installer_args) {
    auto args = nsis_mode_switches(mode);
    args.push_back("/UPDATE");
    args.push_back("/ARGS");
    for (const auto& arg : relaunch_args) args.push_back(nsis_escape(arg));
    args.insert(args.end(), installer_args.begin(), installer_args.end());
    return args;
}

std::vector<std::string> msi_arguments(InstallMode mode, std::string_view package_path,
                                       const std::vector<std::string>& relaunch_args,
                                       const std::vector<std::string>& installer_args) {
    std::vector<std::string> args{"/i", "\"" + std::string(package_path) + "\"", msiexec_mode_switch(mode),
                                  "/promptrestart"};
    args.insert(args.end(), installer_args.begin(), installer_args.end());
    args.push_back("AUTOLAUNCHAPP=True");
    std::vector<std::string> escaped;
    for (const auto& arg : relaunch_args) escaped.push_back(msi_escape(arg));
    args.push_back("LAUNCHAPPARGS=\"" + parameter_string(escaped) + "\"");
    return args;
}

std::string parameter_string(const std::vector<std::string>& arguments) {
    std::string joined;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) joined += ' ';
        joined += arguments[i];
    }
    return joined;
}

std::string msiexec_path(const std::optional<std::string>& system_root) {
    if (!system_root) return "msiexec.exe";
    return *system_root + "\\System32\\msiexec.exe";
}

}  // namespace launcher::installer
