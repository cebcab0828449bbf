#include "plugins/updater/check.hpp"

#include <algorithm>
#include <array>
#include <cstdio>

#include "core/peer_json.hpp"
#include "lib/http/url.hpp"

namespace launcher::plugins::updater {

namespace {

// A manifest is a few kilobytes of JSON; an answer far beyond that is refused rather than read
// whole into memory, however long the server keeps sending.
constexpr std::uint64_t max_manifest_bytes = 16 * 1024 * 1024;

void replace_all(std::string& text, std::string_view from, std::string_view to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// What one endpoint said.
struct EndpointAnswer {
    enum Kind { transport_failure, not_success, no_content, body } kind;
    std::string text;  // the body, or the transport failure's message
};

std::expected<EndpointAnswer, std::string> ask_endpoint(const lib::http::ClientSettings& client,
                                                        const lib::http::GetRequest& get) {
    EndpointAnswer answer{EndpointAnswer::body, {}};
    lib::http::BodyReader reader{
        [&](const lib::http::ResponseHead& head) {
            if (head.status == 204)
                answer.kind = EndpointAnswer::no_content;
            else if (head.status < 200 || head.status > 299)
                answer.kind = EndpointAnswer::not_success;
            return answer.kind == EndpointAnswer::body;
        },
        [&](std::string_view chunk) { answer.text.append(chunk); },
    };
    auto head = lib::http::get(client, get, reader);
    if (!head) {
        if (head.error().at == lib::http::FailedAt::body) return std::unexpected(head.error().message);
        return EndpointAnswer{EndpointAnswer::transport_failure, head.error().message};
    }
    return answer;
}

}  // namespace

std::string encode_url_variable(std::string_view text) {
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '+') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

std::string substitute_url_variables(std::string url, const CheckRequest& request) {
    const std::array<std::pair<std::string_view, std::string>, 4> values = {{
        {"current_version", encode_url_variable(request.current_version)},
        {"target", request.target.value_or("windows")},
        {"arch", "x86_64"},
        {"bundle_type", std::string(installer_name(request.bundle))},
    }};
    for (const auto& [name, value] : values) replace_all(url, "%7B%7B" + std::string(name) + "%7D%7D", value);
    for (const auto& [name, value] : values) replace_all(url, "{{" + std::string(name) + "}}", value);
    return url;
}

std::vector<lib::http::Header> request_headers(const std::vector<lib::http::Header>& headers,
                                               std::string_view default_accept) {
    std::vector<lib::http::Header> out;
    auto has = [&](std::string_view name) {
        return std::any_of(headers.begin(), headers.end(),
                           [&](const auto& h) { return lib::http::same_header_name(h.first, name); });
    };
    if (!has("User-Agent")) out.emplace_back("User-Agent", std::string(updater_user_agent));
    out.insert(out.end(), headers.begin(), headers.end());
    if (!has("Accept")) out.emplace_back("Accept", std::string(default_accept));
    return out;
}

std::expected<std::optional<Offer>, std::string> check_for_update(const lib::http::ClientSettings& client,
                                                                  const CheckRequest& request) {
    if (request.endpoints.empty()) return std::unexpected("Updater does not have any endpoints set.");
    auto current = lib::semver::parse_semver(request.current_version);
    if (!current) return std::unexpected(current.error());

    std::optional<std::string> remembered_error;
    std::optional<std::pair<ReleaseManifest, Json>> found;
    for (const auto& endpoint : request.endpoints) {
        auto url = lib::http::parse_url(substitute_url_variables(endpoint, request));
        if (!url) return std::unexpected(url.error());
        lib::http::GetRequest get{url->text, request_headers(request.headers, "application/json"), request.timeout,
                                  request.proxy, max_manifest_bytes};
        auto answer = ask_endpoint(client, get);
        if (!answer) return std::unexpected(answer.error());
        if (answer->kind == EndpointAnswer::transport_failure) {
            remembered_error = answer->text;
            continue;
        }
        if (answer->kind == EndpointAnswer::not_success) continue;
        if (answer->kind == EndpointAnswer::no_content) return std::optional<Offer>{};

        // The page parses the answer again, so the nesting is bounded as for the pages' own messages.
        auto raw = core::parse_peer_json(answer->text);
        if (!raw) return std::unexpected("error decoding response body: " + raw.error());
        auto manifest = read_release_manifest(*raw);
        if (!manifest) {
            remembered_error = manifest.error();
            continue;
        }
        remembered_error.reset();
        found.emplace(std::move(*manifest), std::move(*raw));
        break;
    }
    if (remembered_error) return std::unexpected(*remembered_error);
    if (!found) return std::unexpected("Could not fetch a valid release JSON from the remote");

    auto& [manifest, raw] = *found;
    auto package = choose_package(manifest, request.target, platform_keys(request.bundle));
    if (!package) return std::unexpected(package.error());
    if (!is_offered(*current, manifest.version, request.allow_downgrades)) return std::optional<Offer>{};
    return std::optional<Offer>{Offer{std::move(manifest), std::move(raw), std::move(*package)}};
}

}  // namespace launcher::plugins::updater
