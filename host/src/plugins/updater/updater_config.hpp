#pragma once

#include <expected>
#include <string>
#include <vector>

#include "core/json.hpp"
#include "installer/hand_off.hpp"

namespace launcher::plugins::updater {

// The `updater` entry of the compiled manifest, read once at start.
struct UpdaterConfig {
    std::vector<std::string> endpoints;  // manifest URLs, tried in this order
    std::string pubkey;                  // base64 of a minisign public-key file
    installer::WindowsSettings windows;
    bool dangerous_insecure_transport_protocol = false;
    bool dangerous_accept_invalid_certs = false;
    bool dangerous_accept_invalid_hostnames = false;
};

// Reads the entry and checks that every endpoint uses https (unless insecure transport is
// allowed). Fails with "Error deserializing 'plugins.updater' within your Tauri configuration:
// {reason}"; the host treats that as a failed start.
std::expected<UpdaterConfig, std::string> parse_updater_config(const Json& entry);

}  // namespace launcher::plugins::updater
