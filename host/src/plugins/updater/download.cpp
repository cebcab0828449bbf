#include "plugins/updater/download.hpp"

#include <algorithm>
#include <charconv>
#include <memory>

#include "plugins/updater/sink_thread.hpp"

namespace launcher::plugins::updater {

std::optional<std::uint64_t> parse_content_length(std::string_view text) {
    std::uint64_t value = 0;
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{}) return std::nullopt;
    return value;
}

std::expected<PackageBytes, std::string> download_package(const lib::http::ClientSettings& client,
                                                          lib::http::GetRequest request, const EventSink& send,
                                                          const ByteSink& also_to) {
    // The HTTP layer refuses a body over this limit or over its own declared length, declared or
    // received, so the room set aside for a declared length is never more than the limit.
    if (!request.max_body_bytes) request.max_body_bytes = default_max_package_bytes;
    std::optional<std::string> refused_status;
    std::optional<std::uint64_t> content_length;
    PackageBytes buffer;
    bool out_of_memory = false;
    bool started = false;
    // One event value, its length set for each chunk: building it afresh cost allocations a chunk.
    Json progress{{"event", "Progress"}, {"data", {{"chunkLength", 0}}}};
    Json& chunk_length = progress["data"]["chunkLength"];
    // The sink takes the bytes from the package's own block, on a thread of its own, while the
    // next ones arrive; before the block grows (and may move) it catches up.
    std::unique_ptr<SinkThread> feed;
    if (also_to) feed = std::make_unique<SinkThread>(also_to);
    lib::http::BodyReader reader{
        [&](const lib::http::ResponseHead& head) {
            if (head.status < 200 || head.status > 299) {
                refused_status = head.status_text;
                return false;
            }
            if (auto length = head.header("Content-Length")) content_length = parse_content_length(*length);
            // When that much cannot be set aside at once, growing as data arrives may still fit.
            if (content_length) (void)buffer.reserve(static_cast<std::size_t>(*content_length));
            return true;
        },
        [&](std::string_view chunk) {
            if (!started) {
                started = true;
                send(Json{{"event", "Started"},
                          {"data", {{"contentLength", content_length ? Json(*content_length) : Json(nullptr)}}}});
            }
            chunk_length = chunk.size();
            send(progress);
            if (out_of_memory) return;
            if (feed && !buffer.fits(chunk.size())) feed->wait();
            if (!buffer.append(chunk)) {
                out_of_memory = true;
                return;
            }
            if (feed) feed->hand(buffer.span().last(chunk.size()));
        },
    };
    auto head = lib::http::get(client, request, reader);
    if (!head) return std::unexpected(head.error().message);
    if (refused_status) return std::unexpected("`Download request failed with status: " + *refused_status + "`");
    if (out_of_memory) return std::unexpected("request or response body error: out of memory for the package");
    send(Json{{"event", "Finished"}});
    if (feed) feed->wait();
    return buffer;
}

}  // namespace launcher::plugins::updater
