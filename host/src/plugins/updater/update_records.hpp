#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/json.hpp"
#include "core/resource_table.hpp"
#include "lib/http/http_client.hpp"
#include "plugins/updater/package_bytes.hpp"

namespace launcher::plugins::updater {

// What an offering `check` found, kept in the calling web view's resource table for `download`
// and `install`.
struct UpdateRecord : core::Resource {
    std::string current_version;
    std::string version;
    std::optional<std::string> body;
    Json raw_json;
    std::string download_url;
    std::string signature;
    std::vector<lib::http::Header> headers;  // the check's own headers, without its Accept
    std::optional<std::string> proxy;
    std::optional<std::chrono::milliseconds> timeout;  // a check never sets one for the download
    std::string product_name;
    std::vector<std::string> installer_args;
    std::vector<std::string> relaunch_args;
};

// The verified bytes of a downloaded package.
struct DownloadedPackage : core::Resource {
    explicit DownloadedPackage(PackageBytes data) : bytes(std::move(data)) {}
    PackageBytes bytes;
};

}  // namespace launcher::plugins::updater
