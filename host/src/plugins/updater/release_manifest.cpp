#include "plugins/updater/release_manifest.hpp"

#include "core/args.hpp"
#include "lib/http/url.hpp"

namespace launcher::plugins::updater {

namespace {

// An optional string member: absent or null gives nothing.
std::expected<std::optional<std::string>, std::string> optional_string(const Json& object, const char* key) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) return std::optional<std::string>{};
    auto text = core::ArgDecoder<std::string>::decode(*it);
    if (!text) return std::unexpected(text.error());
    return std::optional<std::string>{std::move(*text)};
}

std::expected<std::string, std::string> read_url(const std::string& text) {
    auto url = lib::http::parse_url(text);
    if (!url) return std::unexpected(url.error());
    return text;
}

std::expected<ReleasePackage, std::string> read_platform(const Json& value) {
    if (!value.is_object()) return std::unexpected(core::invalid_type(value, "struct ReleaseManifestPlatform"));
    ReleasePackage package;
    for (auto [key, out] : {std::pair{"url", &package.url}, std::pair{"signature", &package.signature}}) {
        auto it = value.find(key);
        if (it == value.end()) return std::unexpected(std::string("missing field `") + key + "`");
        auto text = core::ArgDecoder<std::string>::decode(*it);
        if (!text) return std::unexpected(text.error());
        *out = std::move(*text);
    }
    auto url = read_url(package.url);
    if (!url) return std::unexpected(url.error());
    return package;
}

std::expected<lib::semver::SemVer, std::string> read_version(const Json& object) {
    auto version = object.find("version");
    auto name = object.find("name");
    if (version != object.end() && name != object.end()) return std::unexpected("duplicate field `version`");
    auto it = version != object.end() ? version : name;
    if (it == object.end()) return std::unexpected("missing field `version`");
    auto text = core::ArgDecoder<std::string>::decode(*it);
    if (!text) return std::unexpected(text.error());
    std::string_view bare(*text);
    bare.remove_prefix(std::min(bare.find_first_not_of('v'), bare.size()));
    return lib::semver::parse_semver(bare);
}

std::string quoted_list(const std::vector<std::string>& keys) {
    std::string out = "[";
    for (std::size_t i = 0; i < keys.size(); ++i) out += (i ? ", \"" : "\"") + keys[i] + "\"";
    return out + "]";
}

}  // namespace

std::expected<ReleaseManifest, std::string> read_release_manifest(const Json& value) {
    if (!value.is_object()) return std::unexpected(core::invalid_type(value, "struct RemoteRelease"));
    ReleaseManifest manifest;
    auto version = read_version(value);
    if (!version) return std::unexpected(version.error());
    manifest.version = std::move(*version);

    auto notes = optional_string(value, "notes");
    if (!notes) return std::unexpected(notes.error());
    manifest.notes = std::move(*notes);

    auto date = optional_string(value, "pub_date");
    if (!date) return std::unexpected(date.error());
    if (*date) {
        auto parsed = lib::time::parse_rfc3339(**date);
        if (!parsed) return std::unexpected("invalid value for `pub_date`: " + parsed.error());
        manifest.pub_date = *parsed;
    }

    if (auto platforms = value.find("platforms"); platforms != value.end() && !platforms->is_null()) {
        if (!platforms->is_object()) return std::unexpected(core::invalid_type(*platforms, "a map"));
        std::map<std::string, ReleasePackage> entries;
        for (const auto& [key, entry] : platforms->items()) {
            auto package = read_platform(entry);
            if (!package) return std::unexpected(package.error());
            entries.emplace(key, std::move(*package));
        }
        manifest.platforms = std::move(entries);
        return manifest;
    }

    auto url = optional_string(value, "url");
    if (!url) return std::unexpected(url.error());
    if (!*url) return std::unexpected("the `url` field was not set on the updater response");
    auto checked = read_url(**url);
    if (!checked) return std::unexpected(checked.error());
    auto signature = optional_string(value, "signature");
    if (!signature) return std::unexpected(signature.error());
    if (!*signature) return std::unexpected("the `signature` field was not set on the updater response");
    manifest.package = {std::move(**url), std::move(**signature)};
    return manifest;
}

std::expected<ReleasePackage, std::string> choose_package(const ReleaseManifest& manifest,
                                                          const std::optional<std::string>& target,
                                                          const std::vector<std::string>& fallback_keys) {
    if (!manifest.platforms) return manifest.package;
    const auto& platforms = *manifest.platforms;
    if (target) {
        if (auto it = platforms.find(*target); it != platforms.end()) return it->second;
        return std::unexpected("the platform `" + *target + "` was not found in the response `platforms` object");
    }
    for (const auto& key : fallback_keys) {
        if (auto it = platforms.find(key); it != platforms.end()) return it->second;
    }
    return std::unexpected("None of the fallback platforms `" + quoted_list(fallback_keys) +
                           "` were found in the response `platforms` object");
}

bool is_offered(const lib::semver::SemVer& current, const lib::semver::SemVer& announced, bool allow_downgrades) {
    if (allow_downgrades) return announced != current;
    return lib::semver::compare_with_build(announced, current) > 0;
}

}  // namespace launcher::plugins::updater
