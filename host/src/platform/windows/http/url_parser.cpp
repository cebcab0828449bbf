// The URL parser of the Windows build, in the shape of the libcurl one the other builds use: the
// scheme is checked and lower-cased, an http or https URL must be one WinHTTP can fetch, a URL
// without a path gets "/", and failures read as libcurl's do.

#include <windows.h>
#include <winhttp.h>

#include <algorithm>

#include "lib/http/url.hpp"
#include "platform/windows/http/wide_text.hpp"

namespace launcher::lib::http {

namespace {

bool scheme_char(char c, bool first) {
    bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return alpha || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::expected<Url, std::string> parse_url(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) return std::unexpected("Malformed input to a URL function");
    auto colon = text.find(':');
    bool scheme_ok = colon != std::string_view::npos && colon > 0;
    for (std::size_t i = 0; scheme_ok && i < colon; ++i) scheme_ok = scheme_char(text[i], i == 0);
    if (!scheme_ok) {
        return std::unexpected("Bad scheme");
    }
    std::string scheme(text.substr(0, colon));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), ascii_lower);
    std::string rest(text.substr(colon));

    auto authority_end = rest.starts_with("://") ? rest.find_first_of("/?#", 3) : std::string::npos;
    bool bad_char = std::any_of(rest.begin(), rest.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F;
    });
    if (bad_char) return std::unexpected(authority_end == std::string::npos ? "Bad hostname" : "Bad path");
    if (rest.starts_with("://") && authority_end == std::string::npos) rest += "/";

    Url url{scheme + rest, scheme};
    if (scheme == "http" || scheme == "https") {
        if (!rest.starts_with("://") || rest.size() <= 3 || rest[3] == '/')
            return std::unexpected("No host part in the URL");
        auto wide = widen(url.text);
        URL_COMPONENTS parts{};
        parts.dwStructSize = sizeof parts;
        parts.dwHostNameLength = static_cast<DWORD>(-1);
        if (!WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) {
            return std::unexpected("Malformed input to a URL function");
        }
    }
    return url;
}

}  // namespace launcher::lib::http
