#pragma once

#include <compare>
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace launcher::lib::semver {

// A Semantic Versioning 2.0 version: major.minor.patch, optional pre-release and build metadata.
struct SemVer {
    std::uint64_t major = 0;
    std::uint64_t minor = 0;
    std::uint64_t patch = 0;
    std::vector<std::string> pre;    // dot-separated identifiers, empty for a release
    std::vector<std::string> build;  // dot-separated identifiers, empty when absent

    // Canonical text: "1.2.3-rc.1+build.5".
    std::string to_string() const;

    bool operator==(const SemVer&) const = default;
};

// Parses the whole text as a version; no leading "v", no surrounding spaces. Numeric parts and
// numeric pre-release identifiers may not have leading zeros.
std::expected<SemVer, std::string> parse_semver(std::string_view text);

// SemVer precedence: major, minor, patch numerically; a pre-release sorts below its release;
// pre-release identifiers one by one, numeric ones numerically and below alphanumeric ones, a
// shorter list below a longer one that starts the same. Build metadata is ignored.
std::strong_ordering compare_precedence(const SemVer& a, const SemVer& b);

// Precedence, then build metadata as the final tie-break: no metadata sorts lowest, then
// identifiers are compared one by one as for pre-releases.
std::strong_ordering compare_with_build(const SemVer& a, const SemVer& b);

}  // namespace launcher::lib::semver
