#pragma once

#include <functional>
#include <string>

#include "bundle_type.hpp"
#include "download.hpp"
#include "http/http_client.hpp"
#include "installer/hand_off.hpp"
#include "updater_config.hpp"

namespace launcher::core {
class App;
}

namespace launcher::updater {

// Facts of this build and host the configuration does not carry.
struct UpdaterBuild {
    // The packaging marker; decides the platform keys and `{{bundle_type}}`.
    std::string bundle_marker = compiled_bundle_marker();
    // The HTTP layer's settings; the certificate switches are taken from the configuration.
    http::ClientSettings http;
    // The largest package a download keeps; a longer body (declared or received) fails the download.
    std::uint64_t max_package_bytes = default_max_package_bytes;
    // How `install` reaches the installer hand-off; empty: the running launcher's own services.
    std::function<installer::HandOffHost(core::App&)> hand_off_host;
};

// The updater's managed state: fixed for the life of the process.
struct UpdaterState {
    UpdaterConfig config;
    BundleType bundle = BundleType::nsis;
    http::ClientSettings http;
    std::uint64_t max_package_bytes = default_max_package_bytes;
    std::function<installer::HandOffHost(core::App&)> hand_off_host;
};

// Start-up only: manages `UpdaterState` and adds the plugin `updater` with its commands `check`,
// `download`, `install` and `download_and_install`: `install` on the workers, the others, which
// wait on servers, each on a thread of its own. `config` comes from parse_updater_config.
void register_updater_plugin(core::App& app, UpdaterConfig config, UpdaterBuild build = {});

}  // namespace launcher::updater
