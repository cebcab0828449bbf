#include "lib/http/http_client.hpp"

#include <curl/curl.h>

#include <charconv>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>

#include "lib/http/status_reason.hpp"
#include "lib/text/trim.hpp"

namespace launcher::lib::http {

namespace {

using text::trim;

// Big enough that a fast loopback download is not slowed by per-chunk work, small enough that
// progress still moves often on a slow line.
constexpr long receive_buffer_bytes = 128 * 1024;
constexpr long max_redirects = 10;

void init_curl_once() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Collects the head of each response curl reads (interim ones and redirects included) and
// hands the final one to the reader.
struct Transfer {
    using Clock = std::chrono::steady_clock;

    const BodyReader& reader;
    const ClientSettings& settings;
    std::optional<std::uint64_t> max_body;
    ResponseHead block;
    std::string sent_reason;
    bool head_delivered = false;
    bool stopped_by_reader = false;
    bool stalled = false;
    bool too_slow = false;
    // The body may not exceed this: the request's limit, or the declared length when smaller.
    std::optional<std::uint64_t> body_limit = max_body;
    bool too_large = false;
    std::uint64_t received = 0;  // body bytes
    std::uint64_t arrived = 0;   // head and body bytes
    Clock::time_point last_data = Clock::now();
    // The low-speed guard's current window: when it began and what had arrived by then.
    Clock::time_point window_start = last_data;
    std::uint64_t arrived_at_window_start = 0;

    // One header line as curl delivers it: a status line, a header, or the blank line that ends
    // a head.
    bool on_header_line(std::string_view line) {
        if (line.starts_with("HTTP/")) {
            block = ResponseHead{};
            auto rest = line.substr(line.find(' ') == std::string_view::npos ? line.size() : line.find(' ') + 1);
            rest = trim(rest);
            long status = 0;
            auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), status);
            block.status = ec == std::errc{} ? status : 0;
            sent_reason = std::string(trim(rest.substr(static_cast<std::size_t>(end - rest.data()))));
            return true;
        }
        if (trim(line).empty()) return on_head_complete();
        auto colon = line.find(':');
        if (colon != std::string_view::npos) {
            block.headers.emplace_back(std::string(line.substr(0, colon)), std::string(trim(line.substr(colon + 1))));
        }
        return true;
    }

    bool on_head_complete() {
        bool interim = block.status >= 100 && block.status < 200;
        bool followed_redirect = block.status >= 300 && block.status < 400 && block.header("Location");
        if (interim || followed_redirect || head_delivered) return true;
        block.status_text = status_text(block.status, sent_reason);
        head_delivered = true;
        if (!limit_body_to_declared_length()) {
            too_large = true;
            return false;
        }
        if (reader.on_head && !reader.on_head(block)) {
            stopped_by_reader = true;
            return false;
        }
        return true;
    }

    // A declared length over the limit is refused before any of the body is read; one within it
    // becomes the limit, so a body that goes on past its declared length (chunked coding beside a
    // Content-Length, which then does not bound what is read) is refused as well.
    bool limit_body_to_declared_length() {
        auto length = block.header("Content-Length");
        if (!length) return true;
        std::uint64_t declared = 0;
        auto parsed = std::from_chars(length->data(), length->data() + length->size(), declared);
        if (parsed.ec == std::errc::result_out_of_range) return !max_body;
        if (parsed.ec != std::errc{} || parsed.ptr != length->data() + length->size()) return true;
        if (max_body && declared > *max_body) return false;
        body_limit = declared;
        return true;
    }

    // Ends a transfer that has received nothing for the stall limit, or less than the low-speed
    // rate over a whole window.
    bool too_slow_now() {
        auto now = Clock::now();
        if (settings.stall_limit.count() > 0 && now - last_data > settings.stall_limit) {
            stalled = true;
            return true;
        }
        const auto window = settings.low_speed_window;
        if (window.count() <= 0 || now - window_start < window) return false;
        auto wanted = settings.low_speed_bytes_per_second * static_cast<std::uint64_t>(window.count()) / 1000;
        if (arrived - arrived_at_window_start < wanted) {
            too_slow = true;
            return true;
        }
        window_start = now;
        arrived_at_window_start = arrived;
        return false;
    }
};

std::size_t header_callback(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    std::size_t bytes = size * count;
    transfer->last_data = Transfer::Clock::now();
    transfer->arrived += bytes;
    return transfer->on_header_line(std::string_view(data, bytes)) ? bytes : 0;
}

std::size_t body_callback(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    std::size_t bytes = size * count;
    if (transfer->stopped_by_reader) return 0;
    transfer->last_data = Transfer::Clock::now();
    transfer->received += bytes;
    transfer->arrived += bytes;
    if (transfer->body_limit && transfer->received > *transfer->body_limit) {
        transfer->too_large = true;
        return 0;
    }
    if (transfer->reader.on_chunk && bytes > 0) transfer->reader.on_chunk(std::string_view(data, bytes));
    return bytes;
}

// Called by curl at least once a second while a transfer runs, data or not.
int progress_callback(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(user)->too_slow_now() ? 1 : 0;
}

std::expected<std::string, std::string> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::unexpected("could not read CA file " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The system store and the extra file as one PEM bundle: libcurl takes a single CA file, and the
// extra one must add to the system store, not replace it.
std::expected<std::string, std::string> ca_bundle_with(CURL* handle, const std::string& extra_file) {
    std::string bundle;
    char* system_file = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_CAINFO, &system_file) == CURLE_OK && system_file) {
        if (auto system = read_file(system_file)) bundle = std::move(*system);
    }
    auto extra = read_file(extra_file);
    if (!extra) return std::unexpected(extra.error());
    bundle += "\n";
    bundle += *extra;
    return bundle;
}

std::string cause_of(CURLcode code, const char* error_buffer, const Transfer& transfer) {
    const auto& settings = transfer.settings;
    if (transfer.stalled) return "no data received for " + std::to_string(settings.stall_limit.count()) + " ms";
    if (transfer.too_slow) {
        return "less than " + std::to_string(settings.low_speed_bytes_per_second) + " bytes per second for " +
               std::to_string(settings.low_speed_window.count()) + " ms";
    }
    if (transfer.too_large) {
        return "the response body is larger than " +
               std::to_string(transfer.body_limit ? *transfer.body_limit : *transfer.max_body) + " bytes";
    }
    std::string detail = error_buffer[0] != '\0' ? error_buffer : curl_easy_strerror(code);
    // A total time-out reads the same whatever phase it struck.
    if (code == CURLE_OPERATION_TIMEDOUT) return "operation timed out";
    return detail;
}

}  // namespace

std::expected<ResponseHead, Error> get(const ClientSettings& settings, const GetRequest& request,
                                       const BodyReader& reader) {
    init_curl_once();
    auto sending_error = [&](std::string cause) {
        return std::unexpected(
            Error{FailedAt::sending, "error sending request for url (" + request.url + "): " + cause});
    };
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) return sending_error("could not create a transfer");
    CURL* h = easy.get();

    std::unique_ptr<curl_slist, ListDeleter> header_list;
    for (const auto& [name, value] : request.headers) {
        // "Name:" would tell curl to drop a header of its own; "Name;" sends an empty value.
        std::string line = value.empty() ? name + ";" : name + ": " + value;
        curl_slist* grown = curl_slist_append(header_list.get(), line.c_str());
        if (!grown) return sending_error("out of memory");
        header_list.release();
        header_list.reset(grown);
    }

    // No limit at all is what libcurl makes of zero; a zero time limit is one that has already
    // passed.
    if (request.timeout && request.timeout->count() <= 0) return sending_error("operation timed out");

    char error_buffer[CURL_ERROR_SIZE] = {};
    Transfer transfer{reader, settings, request.max_body_bytes, {}, {}};
    curl_easy_setopt(h, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, max_redirects);
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, header_list.get());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error_buffer);
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, receive_buffer_bytes);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, header_callback);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, body_callback);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, settings.accept_invalid_certs ? 0L : 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, settings.accept_invalid_hostnames ? 0L : 2L);
    if (request.timeout) curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeout->count()));
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, progress_callback);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    // The proxy is the request's alone: an empty one tells libcurl to use none, whatever http_proxy
    // and the like say, and an empty exception list sends every host through a given one, whatever
    // NO_PROXY says.
    curl_easy_setopt(h, CURLOPT_PROXY, request.proxy ? request.proxy->c_str() : "");
    curl_easy_setopt(h, CURLOPT_NOPROXY, "");

    std::string ca_bundle;
    if (!settings.extra_ca_file.empty()) {
        auto bundle = ca_bundle_with(h, settings.extra_ca_file);
        if (!bundle) return sending_error(bundle.error());
        ca_bundle = std::move(*bundle);
        curl_blob blob{ca_bundle.data(), ca_bundle.size(), CURL_BLOB_NOCOPY};
        curl_easy_setopt(h, CURLOPT_CAINFO_BLOB, &blob);
    }

    CURLcode code = curl_easy_perform(h);
    if (transfer.stopped_by_reader) return transfer.block;
    if (code != CURLE_OK) {
        auto cause = cause_of(code, error_buffer, transfer);
        if (transfer.head_delivered)
            return std::unexpected(Error{FailedAt::body, "request or response body error: " + cause});
        return sending_error(cause);
    }
    if (!transfer.head_delivered) return sending_error("no response head was received");
    return transfer.block;
}

}  // namespace launcher::lib::http
