#pragma once

// The launcher's whole command surface on a host without a toolkit: every command group the
// launcher registers, its own commands and its compiled permission set, behind the fake main loop
// and windows of router_harness.hpp. Nothing it runs can start a program or open a URL.

#include <chrono>
#include <string>

#include "launcher/host_plugins.hpp"
#include "launcher/launcher_commands.hpp"
#include "launcher/permission_set.hpp"
#include "launcher/setup_state.hpp"
#include "plugins/opener/opener_plugin.hpp"
#include "plugins/os/os_plugin.hpp"
#include "plugins/system_info/system_info_plugin.hpp"
#include "plugins/updater/updater_plugin.hpp"
#include "router_harness.hpp"

namespace launcher::testing {

class NullShell : public platform::Shell {
public:
    void start(const std::string&, const std::string&) override {}
    std::expected<void, std::string> open_url(const std::string&, const std::optional<std::string>&) override {
        return {};
    }
    std::expected<void, std::string> reveal(const std::vector<std::string>&) override { return {}; }
};

struct UpdaterPeer {
    // Nobody listens there, so a check fails at once unless a test names its own server.
    std::string endpoint = "https://127.0.0.1:1/stable/latest.json";
    std::string pubkey =
        "dW50cnVzdGVkIGNvbW1lbnQ6IG1pbmlzaWduIHB1YmxpYyBrZXk6IDM0OEI5RTA4NEJGNTRCN0IKUldSN1MvVkxDSjZMTk9wbjREbEhwb3VB"
        "R1dUVW12YTNySEhFS3dwblo3MWd1UFNCa1djRS84dTEK";
    std::string ca_file;
    std::chrono::milliseconds stall_limit{std::chrono::milliseconds(500)};
    std::chrono::milliseconds low_speed_window{std::chrono::seconds(60)};
};

struct LauncherHost : Host {
    NullShell shell;

    explicit LauncherHost(const UpdaterPeer& peer = {}) {
        app.state().manage<SetupState>();
        register_host_plugins(app, "nsis");
        plugins::updater::UpdaterState state;
        state.config.endpoints = {peer.endpoint};
        state.config.pubkey = peer.pubkey;
        state.http.extra_ca_file = peer.ca_file;
        state.http.stall_limit = peer.stall_limit;
        state.http.low_speed_window = peer.low_speed_window;
        state.hand_off_host = [this](core::App&) {
            return installer::HandOffHost{"Mirravel - Launcher", {}, [] {}, shell, [](int) {}};
        };
        plugins::updater::register_updater_plugin(app, std::move(state));
        plugins::os::register_os_plugin(app, platform::make_os_probe());
        plugins::system_info::register_system_info_plugin(app, platform::make_system_probe());
        plugins::opener::register_opener_plugin(app, shell);
        register_launcher_commands(app);
        app.router().set_permissions(launcher_permission_set());
    }
};

}  // namespace launcher::testing
