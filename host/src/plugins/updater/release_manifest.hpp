#pragma once

#include <expected>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/json.hpp"
#include "lib/semver/semver.hpp"
#include "lib/time/rfc3339.hpp"

namespace launcher::plugins::updater {

// One installer package: where it is and its minisign signature (base64 of the .sig text).
struct ReleasePackage {
    std::string url;
    std::string signature;

    bool operator==(const ReleasePackage&) const = default;
};

// The update manifest an endpoint serves.
struct ReleaseManifest {
    lib::semver::SemVer version;  // leading "v"s removed
    std::optional<std::string> notes;
    std::optional<lib::time::Rfc3339Time> pub_date;
    // The `platforms` form: one package per platform key. Absent for the single-package form.
    std::optional<std::map<std::string, ReleasePackage>> platforms;
    ReleasePackage package;  // the single-package form
};

// Reads a manifest; fails with the reading error ("missing field `version`", "duplicate field
// `version`", the lib::semver::SemVer parser's message, "invalid value for `pub_date`: ...", "the `url` field
// was not set on the updater response", ...). Unknown members are ignored; package URLs must be
// absolute URLs.
std::expected<ReleaseManifest, std::string> read_release_manifest(const Json& value);

// The package for this platform: the `target` key alone when given, else the first of
// `fallback_keys` present; a single-package manifest has only one.
std::expected<ReleasePackage, std::string> choose_package(const ReleaseManifest& manifest,
                                                          const std::optional<std::string>& target,
                                                          const std::vector<std::string>& fallback_keys);

// Whether the announced version is offered: any difference at all with downgrades allowed,
// otherwise only a greater version (build metadata breaking a tie).
bool is_offered(const lib::semver::SemVer& current, const lib::semver::SemVer& announced, bool allow_downgrades);

}  // namespace launcher::plugins::updater
