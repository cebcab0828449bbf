#pragma once

#include <cstdint>
#include <expected>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/json.hpp"
#include "lib/http/http_client.hpp"
#include "plugins/updater/package_bytes.hpp"

namespace launcher::plugins::updater {

// The largest package a download keeps when nothing else is configured: 1 GiB, far above any real
// installer of the launcher (tens of megabytes), yet low enough that a server sending without end
// cannot take all of the machine's memory.
inline constexpr std::uint64_t default_max_package_bytes = std::uint64_t{1} << 30;

// Receives each download event ({"event":"Started","data":{"contentLength":N}}, "Progress" with
// `chunkLength`, "Finished") as it happens.
using EventSink = std::function<void(const Json& event)>;

// Receives the package's bytes as they arrive, in order (a signature's pre-hash, for one), on a
// thread of its own; every call has returned when the download does.
using ByteSink = std::function<void(std::span<const std::uint8_t> chunk)>;

// A Content-Length header's value as an unsigned decimal number; nothing when it is not one.
std::optional<std::uint64_t> parse_content_length(std::string_view text);

// Fetches the package whole into memory, reporting "Started" with the first chunk, "Progress"
// for every chunk and "Finished" at the end (the only event for an empty body). A status outside
// 200-299 fails with "`Download request failed with status: {status}`". The package may not be
// longer than its declared length nor than the request's `max_body_bytes`
// (default_max_package_bytes when none is given): "request or response body error: the response
// body is larger than {n} bytes".
std::expected<PackageBytes, std::string> download_package(const lib::http::ClientSettings& client,
                                                          lib::http::GetRequest request, const EventSink& send,
                                                          const ByteSink& also_to = {});

}  // namespace launcher::plugins::updater
