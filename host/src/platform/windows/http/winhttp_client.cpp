// The updater's HTTP client on WinHTTP. Peers are verified against the Windows certificate
// store. WinHTTP's own redirect handling is turned off: the redirects are followed here, so that
// only https targets are taken and the count is bounded as on the other platforms. WinHTTP bounds
// each blocking step with a time-out only, so before each step the time-outs are set to whichever
// of the total time, the stall limit and the low-speed window ends first, and a step that runs out
// is reported as the limit that bound it.

#include <windows.h>
#include <shlwapi.h>
#include <winhttp.h>

#include <algorithm>
#include <charconv>
#include <memory>

#include "lib/http/http_client.hpp"
#include "lib/http/status_reason.hpp"
#include "platform/windows/http/wide_text.hpp"
#include "platform/windows/text/wide_text.hpp"

namespace launcher::lib::http {

namespace {

using Clock = std::chrono::steady_clock;
using platform::windows_text::narrow;
using std::chrono::milliseconds;

constexpr DWORD receive_buffer_bytes = 128 * 1024;
constexpr int max_redirects = 10;

struct HandleCloser {
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::string winhttp_cause(DWORD code) {
    switch (code) {
    case ERROR_WINHTTP_TIMEOUT:
        return "operation timed out";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        return "could not resolve the host name";
    case ERROR_WINHTTP_CANNOT_CONNECT:
        return "could not connect to the server";
    case ERROR_WINHTTP_CONNECTION_ERROR:
        return "the connection was reset";
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
        return "the server's answer is not valid HTTP";
    case ERROR_WINHTTP_HEADER_SIZE_OVERFLOW:
        return "the response head is too large";
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
        return "the secure connection was refused (TLS or the server's certificate)";
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
        return "the server's certificate is not trusted";
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        return "the server's certificate has expired or is not yet valid";
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        return "the server's certificate is for another host";
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        return "the server's certificate was revoked";
    case ERROR_WINHTTP_INVALID_URL:
        return "the URL is not valid";
    case ERROR_NOT_ENOUGH_MEMORY:
        return "out of memory";
    default:
        return "WinHTTP error " + std::to_string(code);
    }
}

// The limits of one transfer and what has arrived so far.
class Guard {
public:
    enum class Limit { none, total, stall, slow };

    Guard(const ClientSettings& settings, const std::optional<milliseconds>& timeout)
        : settings_(settings), start_(Clock::now()), last_data_(start_), window_start_(start_) {
        if (timeout) deadline_ = start_ + *timeout;
    }

    void arrived(std::uint64_t bytes) {
        last_data_ = Clock::now();
        arrived_ += bytes;
    }

    // How long the next blocking step may take, and the limit that sets it; none: no limit.
    std::pair<milliseconds, Limit> next_step() {
        auto now = Clock::now();
        std::pair<Clock::duration, Limit> nearest{Clock::duration::max(), Limit::none};
        auto consider = [&](Clock::duration left, Limit limit) {
            if (left < nearest.first) nearest = {left, limit};
        };
        if (deadline_) consider(*deadline_ - now, Limit::total);
        if (settings_.stall_limit.count() > 0) consider(last_data_ + settings_.stall_limit - now, Limit::stall);
        if (settings_.low_speed_window.count() > 0) {
            // A window that ended with enough received starts the next one; one that has not ended
            // bounds the step only while it still lacks bytes.
            if (now - window_start_ >= settings_.low_speed_window && arrived_in_window() >= wanted_per_window()) {
                window_start_ = now;
                arrived_at_window_start_ = arrived_;
            }
            if (arrived_in_window() < wanted_per_window()) {
                consider(window_start_ + settings_.low_speed_window - now, Limit::slow);
            }
        }
        if (nearest.second == Limit::none) return {milliseconds(0), Limit::none};
        return {std::chrono::ceil<milliseconds>(std::max(nearest.first, Clock::duration::zero())), nearest.second};
    }

    std::string cause(Limit limit) const {
        switch (limit) {
        case Limit::stall:
            return "no data received for " + std::to_string(settings_.stall_limit.count()) + " ms";
        case Limit::slow:
            return "less than " + std::to_string(settings_.low_speed_bytes_per_second) + " bytes per second for " +
                   std::to_string(settings_.low_speed_window.count()) + " ms";
        default:
            return "operation timed out";
        }
    }

private:
    std::uint64_t arrived_in_window() const { return arrived_ - arrived_at_window_start_; }
    std::uint64_t wanted_per_window() const {
        return settings_.low_speed_bytes_per_second * static_cast<std::uint64_t>(settings_.low_speed_window.count()) /
               1000;
    }

    const ClientSettings& settings_;
    Clock::time_point start_;
    std::optional<Clock::time_point> deadline_;
    Clock::time_point last_data_;
    Clock::time_point window_start_;
    std::uint64_t arrived_ = 0;
    std::uint64_t arrived_at_window_start_ = 0;
};

// The outcome of a blocking step that failed: the limit that bound it when it timed out, else
// WinHTTP's error.
std::string failed_step_cause(DWORD code, Guard& guard, Guard::Limit bound) {
    // Wine reports a receive time-out as the socket's WSAETIMEDOUT.
    if (code == ERROR_WINHTTP_TIMEOUT || code == WSAETIMEDOUT) return guard.cause(bound);
    return winhttp_cause(code);
}

// Sets every time-out of the request to what the next step may take. False (with the binding
// limit) when that time is already up.
bool bound_next_step(HINTERNET request, Guard& guard, Guard::Limit& bound) {
    auto [left, limit] = guard.next_step();
    bound = limit;
    if (limit == Guard::Limit::none) {
        WinHttpSetTimeouts(request, 0, 0, 0, 0);  // zero: no limit
        DWORD forever = INFINITE;
        WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &forever, sizeof forever);
        return true;
    }
    if (left.count() <= 0) return false;
    int ms = static_cast<int>(std::min<std::int64_t>(left.count(), 0x7FFFFFFF));
    WinHttpSetTimeouts(request, ms, ms, ms, ms);
    // Waiting for the head has a time-out of its own.
    DWORD head_ms = static_cast<DWORD>(ms);
    WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &head_ms, sizeof head_ms);
    return true;
}

std::optional<std::wstring> query_text(HINTERNET request, DWORD what) {
    DWORD bytes = 0;
    WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &bytes, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &bytes,
                             WINHTTP_NO_HEADER_INDEX)) {
        return std::nullopt;
    }
    text.resize(bytes / sizeof(wchar_t));
    return text;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The head WinHTTP read: status, the server's reason phrase and the header lines after the
// status line. Also the number of head bytes, for the low-speed guard.
ResponseHead read_head(HINTERNET request, std::uint64_t& head_bytes) {
    ResponseHead head;
    DWORD status = 0;
    DWORD size = sizeof status;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                        &status, &size, WINHTTP_NO_HEADER_INDEX);
    head.status = static_cast<long>(status);
    auto reason = query_text(request, WINHTTP_QUERY_STATUS_TEXT);
    head.status_text = status_text(head.status, reason ? narrow(*reason) : std::string());
    auto raw = narrow(query_text(request, WINHTTP_QUERY_RAW_HEADERS_CRLF).value_or(L""));
    head_bytes = raw.size();
    std::string_view rest = raw;
    bool status_line = true;
    while (!rest.empty()) {
        auto end = rest.find('\n');
        auto line = trim(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (std::exchange(status_line, false) || line.empty()) continue;
        auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        head.headers.emplace_back(std::string(line.substr(0, colon)), std::string(trim(line.substr(colon + 1))));
    }
    return head;
}

struct CrackedUrl {
    bool https = false;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring path;  // path and query
};

std::optional<CrackedUrl> crack(const std::wstring& url) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return std::nullopt;
    CrackedUrl out;
    out.https = parts.nScheme == INTERNET_SCHEME_HTTPS;
    out.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    out.port = parts.nPort;
    out.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    // The fragment stays on this side of the connection.
    std::wstring extra(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    out.path += extra.substr(0, extra.find(L'#'));
    if (out.path.empty()) out.path = L"/";
    return out;
}

std::string scheme_of(std::string_view url) {
    auto colon = url.find(':');
    std::string scheme(url.substr(0, colon == std::string_view::npos ? 0 : colon));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return scheme;
}

// A Location resolved against the URL it came from.
std::optional<std::string> resolve(const std::string& base, const std::string& location) {
    auto wide_base = widen(base);
    auto wide_location = widen(location);
    // The first call answers the size the combined URL needs, its terminator included.
    DWORD size = 0;
    wchar_t none = 0;
    if (UrlCombineW(wide_base.c_str(), wide_location.c_str(), &none, &size, 0) != E_POINTER || size == 0) {
        return std::nullopt;
    }
    std::wstring out(size, L'\0');
    if (UrlCombineW(wide_base.c_str(), wide_location.c_str(), out.data(), &size, 0) != S_OK) return std::nullopt;
    out.resize(size);
    return narrow(out);
}

}  // namespace

std::expected<ResponseHead, Error> get(const ClientSettings& settings, const GetRequest& request,
                                       const BodyReader& reader) {
    auto sending_error = [&](std::string cause) {
        return std::unexpected(
            Error{FailedAt::sending, "error sending request for url (" + request.url + "): " + cause});
    };
    auto body_error = [](std::string cause) {
        return std::unexpected(Error{FailedAt::body, "request or response body error: " + cause});
    };
    if (request.timeout && request.timeout->count() <= 0) return sending_error("operation timed out");
    // WinHTTP takes its trust from the certificate store alone; a CA of one's own goes there.
    if (!settings.extra_ca_file.empty()) {
        return sending_error("an extra CA file is not supported on Windows; add the CA to the certificate store");
    }

    Guard guard(settings, request.timeout);
    Guard::Limit bound = Guard::Limit::none;
    // No user agent of WinHTTP's own: the request's headers carry one. The proxy is the request's
    // alone, for every host; the system's proxy settings are never read.
    auto proxy = request.proxy ? widen(*request.proxy) : std::wstring();
    Handle session(WinHttpOpen(nullptr, request.proxy ? WINHTTP_ACCESS_TYPE_NAMED_PROXY : WINHTTP_ACCESS_TYPE_NO_PROXY,
                               request.proxy ? proxy.c_str() : WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return sending_error(winhttp_cause(GetLastError()));
    // TLS 1.2 and 1.3 only; WinHTTP's defaults differ between Windows versions.
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    WinHttpSetOption(session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols);

    std::string url = request.url;
    std::string first_host;
    Handle connection;
    Handle handle;
    ResponseHead head;
    std::uint64_t head_bytes = 0;
    for (int redirects = 0;; ++redirects) {
        auto scheme = scheme_of(url);
        if (scheme != "https" && (redirects > 0 || scheme != "http")) {
            return sending_error(redirects > 0 ? "a redirect to a URL that is not https was refused"
                                               : "the URL scheme \"" + scheme + "\" is not supported");
        }
        auto target = crack(widen(url));
        if (!target) return sending_error(winhttp_cause(GetLastError()));
        if (redirects == 0) first_host = narrow(target->host);

        connection.reset(WinHttpConnect(session.get(), target->host.c_str(), target->port, 0));
        if (!connection) return sending_error(winhttp_cause(GetLastError()));
        handle.reset(WinHttpOpenRequest(connection.get(), L"GET", target->path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                        WINHTTP_DEFAULT_ACCEPT_TYPES, target->https ? WINHTTP_FLAG_SECURE : 0));
        if (!handle) return sending_error(winhttp_cause(GetLastError()));
        HINTERNET h = handle.get();
        DWORD features = WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_COOKIES;
        // WinHTTP keeps connections for reuse across sessions; one whose certificate went unchecked
        // must not serve a later request that checks it.
        if (settings.accept_invalid_certs || settings.accept_invalid_hostnames) features |= WINHTTP_DISABLE_KEEP_ALIVE;
        WinHttpSetOption(h, WINHTTP_OPTION_DISABLE_FEATURE, &features, sizeof features);
        DWORD security = 0;
        if (settings.accept_invalid_certs) {
            security |= SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID |
                        SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;
        }
        if (settings.accept_invalid_hostnames) security |= SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
        if (security != 0) WinHttpSetOption(h, WINHTTP_OPTION_SECURITY_FLAGS, &security, sizeof security);

        // A redirect to another host does not carry the credentials meant for the first one.
        bool other_host = narrow(target->host) != first_host;
        for (const auto& [name, value] : request.headers) {
            if (other_host && (same_header_name(name, "Authorization") || same_header_name(name, "Cookie"))) continue;
            auto line = widen(name + ": " + value);
            if (!WinHttpAddRequestHeaders(h, line.c_str(), static_cast<DWORD>(line.size()),
                                          WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
                return sending_error("the header " + name + " could not be added");
            }
        }

        if (!bound_next_step(h, guard, bound)) return sending_error(guard.cause(bound));
        if (!WinHttpSendRequest(h, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
            !WinHttpReceiveResponse(h, nullptr)) {
            return sending_error(failed_step_cause(GetLastError(), guard, bound));
        }
        head = read_head(h, head_bytes);
        guard.arrived(head_bytes);
        auto location = head.header("Location");
        if (head.status < 300 || head.status > 399 || !location) break;
        if (redirects == max_redirects) {
            return sending_error("Maximum (" + std::to_string(max_redirects) + ") redirects followed");
        }
        auto next = resolve(url, *location);
        if (!next) return sending_error("the redirect's Location is not a valid URL");
        url = std::move(*next);
    }
    HINTERNET h = handle.get();

    // A declared length over the limit is refused before any of the body is read; one within it
    // becomes the limit, and a body that ends short of it broke off.
    std::optional<std::uint64_t> body_limit = request.max_body_bytes;
    std::optional<std::uint64_t> declared;
    if (auto length = head.header("Content-Length")) {
        std::uint64_t value = 0;
        auto parsed = std::from_chars(length->data(), length->data() + length->size(), value);
        if (parsed.ec == std::errc::result_out_of_range && body_limit) {
            return body_error("the response body is larger than " + std::to_string(*body_limit) + " bytes");
        }
        if (parsed.ec == std::errc{} && parsed.ptr == length->data() + length->size()) declared = value;
    }
    if (declared) {
        if (body_limit && *declared > *body_limit) {
            return body_error("the response body is larger than " + std::to_string(*body_limit) + " bytes");
        }
        body_limit = declared;
    }
    if (reader.on_head && !reader.on_head(head)) return head;

    std::unique_ptr<char[]> buffer(new char[receive_buffer_bytes]);
    std::uint64_t received = 0;
    for (;;) {
        if (!bound_next_step(h, guard, bound)) return body_error(guard.cause(bound));
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(h, &available))
            return body_error(failed_step_cause(GetLastError(), guard, bound));
        if (available == 0) break;
        DWORD read = 0;
        if (!WinHttpReadData(h, buffer.get(), std::min(available, receive_buffer_bytes), &read)) {
            return body_error(failed_step_cause(GetLastError(), guard, bound));
        }
        if (read == 0) break;
        guard.arrived(read);
        received += read;
        if (body_limit && received > *body_limit) {
            return body_error("the response body is larger than " + std::to_string(*body_limit) + " bytes");
        }
        if (reader.on_chunk) reader.on_chunk(std::string_view(buffer.get(), read));
    }
    if (declared && received < *declared) {
        return body_error("transfer closed with " + std::to_string(*declared - received) + " bytes remaining to read");
    }
    return head;
}

}  // namespace launcher::lib::http
