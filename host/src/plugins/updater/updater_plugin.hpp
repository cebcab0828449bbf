#pragma once

#include <functional>
#include <string>

#include "installer/hand_off.hpp"
#include "lib/http/http_client.hpp"
#include "plugins/updater/bundle_type.hpp"
#include "plugins/updater/download.hpp"
#include "plugins/updater/updater_config.hpp"

namespace launcher::core {
class App;
}

namespace launcher::plugins::updater {

// The updater's managed state: fixed for the life of the process.
struct UpdaterState {
    // From parse_updater_config.
    UpdaterConfig config;
    // How this build was packaged; decides the platform keys and `{{bundle_type}}`.
    BundleType bundle = bundle_type_from_marker(compiled_bundle_marker());
    // The HTTP layer's settings; registration takes the certificate switches from `config`.
    lib::http::ClientSettings http;
    // The largest package a download keeps; a longer body (declared or received) fails the download.
    std::uint64_t max_package_bytes = default_max_package_bytes;
    // How `install` reaches the installer hand-off: installer::hand_off_host for the running
    // launcher. Required.
    std::function<installer::HandOffHost(core::App&)> hand_off_host;
};

// Start-up only: manages `state` and adds the plugin `updater` with its commands `check`,
// `download`, `install` and `download_and_install`: `install` on the workers, the others, which
// wait on servers, each on a thread of its own.
void register_updater_plugin(core::App& app, UpdaterState state);

}  // namespace launcher::plugins::updater
