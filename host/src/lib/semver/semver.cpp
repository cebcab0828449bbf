#include "lib/semver/semver.hpp"

#include <algorithm>
#include <charconv>

#include "lib/encoding/base64.hpp"

namespace launcher::lib::semver {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_identifier_char(char c) { return is_digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-'; }

bool all_digits(std::string_view s) { return std::all_of(s.begin(), s.end(), is_digit); }

// The character `text` starts with, quoted: all the bytes of a UTF-8 sequence, so a message never
// holds part of one; U+FFFD where the bytes are no UTF-8 character.
std::string quoted(std::string_view text) {
    auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    auto character = text.substr(0, length);
    bool whole = character.size() == length && encoding::is_valid_utf8(character);
    return "'" + (whole ? std::string(character) : std::string("\xEF\xBF\xBD")) + "'";
}

// Reads "major", "minor" or "patch" from the front of `text`.
std::expected<std::uint64_t, std::string> read_number(std::string_view& text, std::string_view what) {
    std::size_t digits = 0;
    while (digits < text.size() && is_digit(text[digits])) ++digits;
    if (digits == 0) {
        if (text.empty()) return std::unexpected("unexpected end of input while parsing " + std::string(what));
        return std::unexpected("unexpected character " + quoted(text) + " while parsing " + std::string(what));
    }
    if (digits > 1 && text[0] == '0') return std::unexpected("invalid leading zero in " + std::string(what));
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + digits, value);
    if (ec != std::errc{}) return std::unexpected("value of " + std::string(what) + " exceeds u64::MAX");
    text.remove_prefix(digits);
    return value;
}

std::expected<void, std::string> expect_dot(std::string_view& text, std::string_view after) {
    if (text.empty()) return std::unexpected("unexpected end of input while parsing " + std::string(after));
    if (text[0] != '.') {
        return std::unexpected("unexpected character " + quoted(text) + " after " + std::string(after));
    }
    text.remove_prefix(1);
    return {};
}

// Dot-separated identifiers up to the end of `text`; `numeric_rule` forbids leading zeros in
// numeric identifiers (pre-release), build metadata allows them.
std::expected<std::vector<std::string>, std::string> read_identifiers(std::string_view text, std::string_view what,
                                                                      bool numeric_rule) {
    std::vector<std::string> out;
    while (true) {
        auto dot = text.find('.');
        auto part = text.substr(0, dot);
        if (part.empty()) return std::unexpected("empty identifier segment in " + std::string(what));
        if (auto bad = std::find_if_not(part.begin(), part.end(), is_identifier_char); bad != part.end()) {
            auto at = static_cast<std::size_t>(bad - part.begin());
            return std::unexpected("unexpected character " + quoted(text.substr(at)) + " in " + std::string(what));
        }
        if (numeric_rule && part.size() > 1 && part[0] == '0' && all_digits(part)) {
            return std::unexpected("invalid leading zero in " + std::string(what));
        }
        out.emplace_back(part);
        if (dot == std::string_view::npos) return out;
        text.remove_prefix(dot + 1);
    }
}

// Numeric identifiers numerically (by length first, so no size limit applies), below
// alphanumeric ones, which compare as ASCII text.
std::strong_ordering compare_identifier(std::string_view a, std::string_view b) {
    bool a_num = all_digits(a), b_num = all_digits(b);
    if (a_num && b_num) {
        auto a_trim = a.substr(std::min(a.find_first_not_of('0'), a.size()));
        auto b_trim = b.substr(std::min(b.find_first_not_of('0'), b.size()));
        if (auto c = a_trim.size() <=> b_trim.size(); c != 0) return c;
        if (auto c = a_trim.compare(b_trim) <=> 0; c != 0) return c;
        return a.size() <=> b.size();  // build metadata only: "1" < "01"
    }
    if (a_num != b_num) return a_num ? std::strong_ordering::less : std::strong_ordering::greater;
    return a.compare(b) <=> 0;
}

std::strong_ordering compare_identifiers(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (auto c = compare_identifier(a[i], b[i]); c != 0) return c;
    }
    return a.size() <=> b.size();
}

std::string join(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& part : parts) {
        if (!out.empty()) out += '.';
        out += part;
    }
    return out;
}

}  // namespace

std::string SemVer::to_string() const {
    std::string out = std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
    if (!pre.empty()) out += "-" + join(pre);
    if (!build.empty()) out += "+" + join(build);
    return out;
}

std::expected<SemVer, std::string> parse_semver(std::string_view text) {
    if (text.empty()) return std::unexpected("empty string, expected a semver version");
    SemVer v;
    auto major = read_number(text, "major version number");
    if (!major) return std::unexpected(major.error());
    if (auto dot = expect_dot(text, "major version number"); !dot) return std::unexpected(dot.error());
    auto minor = read_number(text, "minor version number");
    if (!minor) return std::unexpected(minor.error());
    if (auto dot = expect_dot(text, "minor version number"); !dot) return std::unexpected(dot.error());
    auto patch = read_number(text, "patch version number");
    if (!patch) return std::unexpected(patch.error());
    v.major = *major;
    v.minor = *minor;
    v.patch = *patch;

    if (!text.empty() && text[0] == '-') {
        text.remove_prefix(1);
        auto plus = text.find('+');
        auto pre = read_identifiers(text.substr(0, plus), "pre-release identifier", true);
        if (!pre) return std::unexpected(pre.error());
        v.pre = std::move(*pre);
        text.remove_prefix(plus == std::string_view::npos ? text.size() : plus);
    }
    if (!text.empty() && text[0] == '+') {
        text.remove_prefix(1);
        auto build = read_identifiers(text, "build metadata", false);
        if (!build) return std::unexpected(build.error());
        v.build = std::move(*build);
        text = {};
    }
    if (!text.empty()) return std::unexpected("unexpected character " + quoted(text) + " after patch version number");
    return v;
}

std::strong_ordering compare_precedence(const SemVer& a, const SemVer& b) {
    if (auto c = a.major <=> b.major; c != 0) return c;
    if (auto c = a.minor <=> b.minor; c != 0) return c;
    if (auto c = a.patch <=> b.patch; c != 0) return c;
    if (a.pre.empty() != b.pre.empty()) {
        return a.pre.empty() ? std::strong_ordering::greater : std::strong_ordering::less;
    }
    return compare_identifiers(a.pre, b.pre);
}

std::strong_ordering compare_with_build(const SemVer& a, const SemVer& b) {
    if (auto c = compare_precedence(a, b); c != 0) return c;
    return compare_identifiers(a.build, b.build);
}

}  // namespace launcher::lib::semver
