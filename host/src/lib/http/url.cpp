#include "lib/http/url.hpp"

#include <curl/curl.h>

#include <memory>

namespace launcher::lib::http {

namespace {

struct UrlHandleDeleter {
    void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};

struct CurlStringDeleter {
    void operator()(char* text) const { curl_free(text); }
};

std::expected<std::string, std::string> url_part(CURLU* handle, CURLUPart part) {
    char* raw = nullptr;
    if (auto rc = curl_url_get(handle, part, &raw, 0); rc != CURLUE_OK) return std::unexpected(curl_url_strerror(rc));
    std::unique_ptr<char, CurlStringDeleter> owned(raw);
    return std::string(raw);
}

}  // namespace

std::expected<Url, std::string> parse_url(std::string_view text) {
    std::unique_ptr<CURLU, UrlHandleDeleter> handle(curl_url());
    if (!handle) return std::unexpected("out of memory");
    // The parser reads a C string: an embedded NUL would silently cut the URL short.
    if (text.find('\0') != std::string_view::npos) return std::unexpected(curl_url_strerror(CURLUE_MALFORMED_INPUT));
    std::string input(text);
    if (auto rc = curl_url_set(handle.get(), CURLUPART_URL, input.c_str(), 0); rc != CURLUE_OK) {
        return std::unexpected(curl_url_strerror(rc));
    }
    auto full = url_part(handle.get(), CURLUPART_URL);
    if (!full) return std::unexpected(full.error());
    auto scheme = url_part(handle.get(), CURLUPART_SCHEME);
    if (!scheme) return std::unexpected(scheme.error());
    return Url{std::move(*full), std::move(*scheme)};
}

}  // namespace launcher::lib::http
