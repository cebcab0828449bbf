#pragma once

#include <cstdint>
#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/json.hpp"
#include "http/http_client.hpp"

namespace launcher::updater {

// Receives each download event ({"event":"Started","data":{"contentLength":N}}, "Progress" with
// `chunkLength`, "Finished") as it happens.
using EventSink = std::function<void(const Json& event)>;

// A Content-Length header's value as an unsigned decimal number; nothing when it is not one.
std::optional<std::uint64_t> parse_content_length(std::string_view text);

// Fetches the package whole into memory, reporting "Started" with the first chunk, "Progress"
// for every chunk and "Finished" at the end (the only event for an empty body). A status outside
// 200-299 fails with "`Download request failed with status: {status}`".
std::expected<std::vector<std::uint8_t>, std::string> download_package(const http::ClientSettings& client,
                                                                       const http::GetRequest& request,
                                                                       const EventSink& send);

}  // namespace launcher::updater
