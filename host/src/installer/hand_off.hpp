#pragma once

#include <cstdint>
#include <expected>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/shell.hpp"

namespace launcher::core {
class App;
}

namespace launcher::installer {

// How much of its interface the installer shows.
enum class InstallMode { basic_ui, quiet, passive };

// The updater's `windows` settings.
struct WindowsSettings {
    InstallMode install_mode = InstallMode::passive;
    std::vector<std::string> installer_args;
};

// What the hand-off needs from the host.
struct HandOffHost {
    std::string product_name;
    // The launcher's command-line arguments without the executable path.
    std::vector<std::string> relaunch_args;
    // Runs the pre-exit clean-up (resource tables released, windows hidden) and returns when it
    // is done; called on the hand-off's own thread.
    std::function<void()> clean_up_before_exit;
    platform::Shell& shell;
    // Ends the process with the code; the launcher's never returns.
    std::function<void(int)> end_process;
};

// The shell installers are started through, chosen by the launcher at start-up and kept in the
// app's managed state.
struct InstallerShell {
    platform::Shell& shell;
};

// The host services of the running launcher: its product name and relaunch arguments, the
// pre-exit clean-up run on the main thread (waited for), the managed InstallerShell's shell
// (fatal when none was registered) and an immediate exit. Call from a worker thread, never from
// the main thread.
HandOffHost hand_off_host(core::App& app);

// Hands a verified update package to its installer: writes or extracts the NSIS or MSI installer
// into a fresh "{product}-{version}-updater-XXXXXX" temporary directory, runs the pre-exit
// clean-up, asks the shell to start the installer with the install mode's switches, the relaunch
// arguments and `installer_args`, then ends the process with exit code 0.
//
// Returns only on failure, with the message the calling command reports unchanged ("invalid
// updater binary format", "binary for the current target not found in the archive", the ZIP
// reader's or the system's message), before the clean-up has run and with the launcher still
// usable. (A test's `end_process` returns; the hand-off then returns success.)
std::expected<void, std::string> hand_off(std::span<const std::uint8_t> package, const std::string& version,
                                          const WindowsSettings& settings, const HandOffHost& host);

}  // namespace launcher::installer
