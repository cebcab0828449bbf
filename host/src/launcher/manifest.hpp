#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/app.hpp"
#include "platform/desktop.hpp"

namespace launcher {

// The updater's entry of the manifest: exactly what the studio configures.
struct UpdaterEntry {
    std::vector<std::string> endpoints;
    std::string pubkey;  // base64 of a minisign public-key file
};

// The launcher's whole configuration, fixed when it is built.
struct Manifest {
    core::AppInfo app;
    std::vector<platform::WindowConfig> windows;  // created in this order
    UpdaterEntry updater;
    std::span<const std::uint8_t> window_icon;  // 32 x 32 RGBA
    int window_icon_size = 32;
};

const Manifest& manifest();

}  // namespace launcher
