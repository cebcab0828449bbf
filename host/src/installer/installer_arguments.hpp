#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "installer/hand_off.hpp"

namespace launcher::installer {

// One relaunch argument quoted for an NSIS installer's command line: the Windows convention,
// with "/" also forcing quotes so the installer does not take the argument for a switch.
std::string nsis_escape(std::string_view argument);

// One relaunch argument quoted for the LAUNCHAPPARGS property of an MSI package.
std::string msi_escape(std::string_view argument);

// The NSIS installer's arguments: mode switches, "/UPDATE", "/ARGS", the escaped relaunch
// arguments, then the configured installer arguments as they are.
std::vector<std::string> nsis_arguments(InstallMode mode, const std::vector<std::string>& relaunch_args,
                                        const std::vector<std::string>& installer_args);

// msiexec's arguments for installing `package_path` and starting the launcher again afterwards.
std::vector<std::string> msi_arguments(InstallMode mode, std::string_view package_path,
                                       const std::vector<std::string>& relaunch_args,
                                       const std::vector<std::string>& installer_args);

// The arguments joined by single spaces; each is already quoted as it needs to be.
std::string parameter_string(const std::vector<std::string>& arguments);

// Where msiexec lives given the SYSTEMROOT environment variable, or its bare name without one.
std::string msiexec_path(const std::optional<std::string>& system_root);

}  // namespace launcher::installer
