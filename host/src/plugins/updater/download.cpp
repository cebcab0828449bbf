#include "download.hpp"

#include <algorithm>
#include <charconv>
#include <new>

namespace launcher::updater {

namespace {

// Room is set aside up front for a declared length up to this size, so a large package is not
// copied while the buffer grows; a larger (or lying) header only lets the buffer grow as data
// really arrives.
constexpr std::uint64_t max_reserved_bytes = std::uint64_t{1} << 30;

void reserve_for(std::vector<std::uint8_t>& buffer, std::optional<std::uint64_t> length) {
    if (!length || *length > max_reserved_bytes) return;
    try {
        buffer.reserve(static_cast<std::size_t>(*length));
    } catch (const std::bad_alloc&) {
        // Not enough memory to set aside at once; growing as data arrives may still fit.
    }
}

}  // namespace

std::optional<std::uint64_t> parse_content_length(std::string_view text) {
    std::uint64_t value = 0;
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{}) return std::nullopt;
    return value;
}

std::expected<std::vector<std::uint8_t>, std::string> download_package(const http::ClientSettings& client,
                                                                       const http::GetRequest& request,
                                                                       const EventSink& send) {
    std::optional<std::string> refused_status;
    std::optional<std::uint64_t> content_length;
    std::vector<std::uint8_t> buffer;
    bool started = false;
    http::BodyReader reader{
        [&](const http::ResponseHead& head) {
            if (head.status < 200 || head.status > 299) {
                refused_status = head.status_text;
                return false;
            }
            if (auto length = head.header("Content-Length")) content_length = parse_content_length(*length);
            reserve_for(buffer, content_length);
            return true;
        },
        [&](std::string_view chunk) {
            if (!started) {
                started = true;
                send(Json{{"event", "Started"},
                          {"data", {{"contentLength", content_length ? Json(*content_length) : Json(nullptr)}}}});
            }
            send(Json{{"event", "Progress"}, {"data", {{"chunkLength", chunk.size()}}}});
            buffer.insert(buffer.end(), chunk.begin(), chunk.end());
        },
    };
    auto head = http::get(client, request, reader);
    if (!head) return std::unexpected(head.error().message);
    if (refused_status) return std::unexpected("`Download request failed with status: " + *refused_status + "`");
    send(Json{{"event", "Finished"}});
    return buffer;
}

}  // namespace launcher::updater
