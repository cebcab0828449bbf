#pragma once

#include <chrono>
#include <expected>
#include <optional>
#include <string>
#include <vector>

#include "core/json.hpp"
#include "lib/http/http_client.hpp"
#include "plugins/updater/bundle_type.hpp"
#include "plugins/updater/release_manifest.hpp"

namespace launcher::plugins::updater {

// What one `check` works with: the configuration's endpoints, this build's facts and the call's
// own settings.
struct CheckRequest {
    std::vector<std::string> endpoints;
    std::string current_version;
    BundleType bundle = BundleType::nsis;
    std::vector<lib::http::Header> headers;  // the call's headers, without the Accept the check adds
    std::optional<std::chrono::milliseconds> timeout;
    std::optional<std::string> proxy;
    std::optional<std::string> target;
    bool allow_downgrades = false;
};

// An update the check decided to offer.
struct Offer {
    ReleaseManifest manifest;
    Json raw_json;  // the manifest as received
    ReleasePackage package;
};

// The User-Agent of every updater request.
inline constexpr std::string_view updater_user_agent = "tauri-plugin-updater/2.10.1";

// `{{current_version}}` in an endpoint: bytes below 0x20, 0x7F, "+" and bytes above 0x7F become
// "%XX"; the rest is copied.
std::string encode_url_variable(std::string_view text);

// Replaces the URL variables, their percent-encoded forms first, in an endpoint's text.
std::string substitute_url_variables(std::string url, const CheckRequest& request);

// The headers of one updater request: the User-Agent unless the caller set one, then the
// caller's headers, then `Accept: {default_accept}` unless the caller set an Accept.
std::vector<lib::http::Header> request_headers(const std::vector<lib::http::Header>& headers,
                                               std::string_view default_accept);

// Tries the endpoints in order and decides whether the manifest found is offered. Nothing
// offered (or a 204 answer) gives nullopt; failures give the message the page sees.
std::expected<std::optional<Offer>, std::string> check_for_update(const lib::http::ClientSettings& client,
                                                                  const CheckRequest& request);

}  // namespace launcher::plugins::updater
