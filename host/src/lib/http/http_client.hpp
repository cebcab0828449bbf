#pragma once

#include <chrono>
#include <cstdint>
#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace launcher::lib::http {

using Header = std::pair<std::string, std::string>;

// Settings fixed for the life of the process.
struct ClientSettings {
    // A PEM file of certificates trusted besides the system trust store; empty: the system store
    // only (the launcher's case; tests point this at their own CA).
    std::string extra_ca_file;
    bool accept_invalid_certs = false;
    bool accept_invalid_hostnames = false;
    // A transfer that receives no byte for this long fails, so a server that stops sending in the
    // middle of a body cannot hold a download forever; zero turns the guard off.
    std::chrono::milliseconds stall_limit{std::chrono::seconds(60)};
    // A transfer that receives fewer than `low_speed_bytes_per_second` on average over a whole
    // `low_speed_window` fails too, so a peer that sends a byte now and then, never quite stalling,
    // cannot hold a transfer for as long as it likes; a zero window turns the guard off.
    std::uint64_t low_speed_bytes_per_second = 1024;
    std::chrono::milliseconds low_speed_window{std::chrono::seconds(60)};
};

struct GetRequest {
    std::string url;
    std::vector<Header> headers;  // sent in this order, each pair as given
    // Bounds connection, head and body together; zero fails at once.
    std::optional<std::chrono::milliseconds> timeout;
    // Used for http and https alike and for every host; none: no proxy. The environment's proxy
    // variables are never read.
    std::optional<std::string> proxy;
    // A body longer than this (declared or received) ends the transfer as a body error, so a
    // peer cannot fill memory with an answer that should be small; none: no limit. A body longer
    // than its own Content-Length fails the same way, limit or not.
    std::optional<std::uint64_t> max_body_bytes;
};

struct ResponseHead {
    long status = 0;
    std::string status_text;  // "404 Not Found"
    std::vector<Header> headers;

    // The first header of that name, compared without regard to case.
    std::optional<std::string> header(std::string_view name) const;
};

// Where a transfer failed: before the response's head arrived (connection, TLS, time-out,
// redirect refused) or while its body was being read.
enum class FailedAt { sending, body };

struct Error {
    FailedAt at;
    std::string message;
};

struct BodyReader {
    // Called once the final response's head has arrived; returning false ends the transfer
    // without reading the body (a success, not an error).
    std::function<bool(const ResponseHead&)> on_head;
    // Called for each piece of the body as it arrives.
    std::function<void(std::string_view chunk)> on_chunk;
};

// Sends a GET request and streams the answer to `reader`. TLS peers are verified against the
// system trust store (plus the extra CA file); redirects are followed to https URLs only; only
// http and https URLs are fetched. Any thread; blocks until the transfer ends.
//
// Messages: "error sending request for url ({url}): {cause}" when no head arrived, and
// "request or response body error: {cause}" when the body broke off; a time-out's cause is
// "operation timed out", a stall's "no data received for {n} ms", a transfer below the low-speed
// rate "less than {rate} bytes per second for {n} ms", a body over the request's limit or its
// declared length "the response body is larger than {n} bytes".
std::expected<ResponseHead, Error> get(const ClientSettings& settings, const GetRequest& request,
                                       const BodyReader& reader);

// Whether a header name is a valid HTTP token, and a value valid header text (visible ASCII,
// spaces, tabs and the bytes 0x80 to 0xFF that HTTP allows as obs-text).
bool valid_header_name(std::string_view name);
bool valid_header_value(std::string_view value);

bool same_header_name(std::string_view a, std::string_view b);

}  // namespace launcher::lib::http
