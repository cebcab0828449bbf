// The updater's own small parsers and rules, each against a table of cases.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "lib/encoding/base64.hpp"
#include "lib/semver/semver.hpp"
#include "lib/time/rfc3339.hpp"
#include "plugins/updater/bundle_type.hpp"
#include "plugins/updater/check.hpp"
#include "plugins/updater/sink_thread.hpp"
#include "plugins/updater/updater_config.hpp"

namespace launcher::plugins::updater {
namespace {

using namespace lib::encoding;
using namespace lib::semver;
using namespace lib::time;

std::string parsed(std::string_view text) {
    auto v = parse_semver(text);
    return v ? "ok " + v->to_string() : "error " + v.error();
}

TEST(SemVer, ParsesAndRefuses) {
    const std::pair<std::string_view, std::string> cases[] = {
        {"0.1.36", "ok 0.1.36"},
        {"1.2.3-rc.1+build.05", "ok 1.2.3-rc.1+build.05"},
        {"1.0.0-0A.is.legal", "ok 1.0.0-0A.is.legal"},
        {"1.2.3+0001", "ok 1.2.3+0001"},
        {"18446744073709551615.0.0", "ok 18446744073709551615.0.0"},
        {"", "error empty string, expected a semver version"},
        {"1.2", "error unexpected end of input while parsing minor version number"},
        {"01.2.3", "error invalid leading zero in major version number"},
        {"1.2.3-01", "error invalid leading zero in pre-release identifier"},
        {"1.2.3-", "error empty identifier segment in pre-release identifier"},
        {"1.2.3-a..b", "error empty identifier segment in pre-release identifier"},
        {"1.2.3+", "error empty identifier segment in build metadata"},
        {"1.2.3+a_b", "error unexpected character '_' in build metadata"},
        {"v1.2.3", "error unexpected character 'v' while parsing major version number"},
        {"1.2.3 ", "error unexpected character ' ' after patch version number"},
        {"1.x.3", "error unexpected character 'x' while parsing minor version number"},
        {"18446744073709551616.0.0", "error value of major version number exceeds u64::MAX"},
        // A character outside the grammar is quoted whole; bytes that are no character as U+FFFD.
        {"0.1.37-\u0661", "error unexpected character '\u0661' in pre-release identifier"},
        {"1.2.3+b\u00e9ta", "error unexpected character '\u00e9' in build metadata"},
        {"1.2.3\U0001F3AE", "error unexpected character '\U0001F3AE' after patch version number"},
        {"1.\u2122.3", "error unexpected character '\u2122' while parsing minor version number"},
        {"1\u0661.2.3", "error unexpected character '\u0661' after major version number"},
        {"1.2.3-a\xff", "error unexpected character '\uFFFD' in pre-release identifier"},
        {"1.2.3-\xd9", "error unexpected character '\uFFFD' in pre-release identifier"},
        {"1.2.3-\xd9+b", "error unexpected character '\uFFFD' in pre-release identifier"},
        {"1.2.3-\xed\xa0\x80", "error unexpected character '\uFFFD' in pre-release identifier"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(parsed(text), expected) << text;
}

TEST(SemVer, OrdersByPrecedenceThenBuild) {
    // Each version is lower than the next, by precedence alone unless marked `by build`.
    const std::pair<std::string_view, bool> ascending[] = {
        {"1.0.0-alpha", false}, {"1.0.0-alpha.1", false}, {"1.0.0-alpha.beta", false},
        {"1.0.0-beta", false},  {"1.0.0-beta.2", false},  {"1.0.0-beta.11", false},
        {"1.0.0-rc.1", false},  {"1.0.0", false},         {"1.0.0+1", true},
        {"1.0.0+2", true},      {"1.0.0+10", true},       {"1.0.0+a", true},
        {"1.0.1", false},       {"1.10.0", false},        {"2.0.0", false},
    };
    for (std::size_t i = 0; i + 1 < std::size(ascending); ++i) {
        auto low = *parse_semver(ascending[i].first);
        auto high = *parse_semver(ascending[i + 1].first);
        EXPECT_TRUE(compare_with_build(low, high) < 0) << ascending[i].first << " < " << ascending[i + 1].first;
        EXPECT_TRUE(compare_with_build(high, low) > 0) << ascending[i + 1].first << " > " << ascending[i].first;
        EXPECT_EQ(compare_precedence(low, high) == 0, ascending[i + 1].second) << ascending[i + 1].first;
    }
}

TEST(Rfc3339, ParsesAndWritesCanonically) {
    const std::pair<std::string_view, std::string> cases[] = {
        {"2024-05-01T12:30:00Z", "ok 2024-05-01T12:30:00Z"},
        {"2024-05-01t12:30:00z", "ok 2024-05-01T12:30:00Z"},
        {"2024-05-01T12:30:00+00:00", "ok 2024-05-01T12:30:00Z"},
        {"2024-05-01T12:30:00.250-03:30", "ok 2024-05-01T12:30:00.25-03:30"},
        {"2024-05-01T12:30:00.0000000019Z", "ok 2024-05-01T12:30:00.000000001Z"},
        {"2024-02-29T00:00:00Z", "ok 2024-02-29T00:00:00Z"},
        {"2023-02-29T00:00:00Z", "error the day 29 is out of range"},
        {"2024-13-01T00:00:00Z", "error the month 13 is out of range"},
        {"2024-05-01 12:30:00Z", "error expected 'T' at byte 10"},
        {"2024-05-01T12:30:60Z", "error the second 60 is out of range"},
        {"2016-12-31T23:59:60Z", "ok 2016-12-31T23:59:59.999999999Z"},
        {"2016-12-31T23:59:60.5Z", "ok 2016-12-31T23:59:59.999999999Z"},
        {"2016-12-31T18:59:60-05:00", "ok 2016-12-31T18:59:59.999999999-05:00"},
        {"2016-12-31T23:59:60+01:00", "error the second 60 is out of range"},
        {"2024-05-01T12:30:00", "error expected an offset ('Z', '+' or '-') at byte 19"},
        {"2024-05-01T12:30:00.Z", "error expected digits of the fraction at byte 20"},
        {"2024-05-01T12:30:00Zjunk", "error unexpected trailing characters at byte 20"},
        {"24-05-01T12:30:00Z", "error expected 4 digits of the year at byte 0"},
        {"", "error expected 4 digits of the year at byte 0"},
    };
    for (const auto& [text, expected] : cases) {
        auto time = parse_rfc3339(text);
        std::string got = time ? "ok " + format_rfc3339(*time).value_or("unwritable") : "error " + time.error();
        EXPECT_EQ(got, expected) << text;
    }
    EXPECT_FALSE(format_rfc3339(Rfc3339Time{.year = 10000}));
}

TEST(Base64, DecodesStandardTextAndExplainsRefusals) {
    const std::pair<std::string_view, std::string> cases[] = {
        {"aGVsbG8=", "ok hello"},
        {"aGVsbG8h", "ok hello!"},
        {"", "ok "},
        {"aGVsbG8", "error Invalid padding"},
        {"aGVsbG8==", "error Invalid padding"},
        {"aGVs!G8=", "error Invalid symbol 33, offset 4."},
        {"aGV=bG8=", "error Invalid symbol 98, offset 4."},
        {"aGVsb", "error Invalid input length."},
        {"aGVsbG9=", "error Invalid last symbol 57, offset 6."},
        {"aGVs bG8=", "error Invalid symbol 32, offset 4."},
    };
    for (const auto& [text, expected] : cases) {
        auto bytes = decode_base64(text);
        EXPECT_EQ(bytes ? "ok " + *bytes : "error " + bytes.error(), expected) << text;
    }
    EXPECT_EQ(encode_base64("hello"), "aGVsbG8=");
}

TEST(Base64, Utf8Validation) {
    const std::pair<std::string_view, bool> cases[] = {
        {"plain", true},
        {"\xd0\xb7\xd0\xb0", true},
        {"\xf0\x9f\x98\x80", true},
        {"\xc0\xaf", false},
        {"\xed\xa0\x80", false},
        {"\xf4\x90\x80\x80", false},
        {"\xd0", false},
        {"\x80", false},
    };
    for (const auto& [bytes, valid] : cases) EXPECT_EQ(is_valid_utf8(bytes), valid) << bytes;
}

TEST(UrlVariables, EncodesTheVersionByteWiseAndReplacesBothForms) {
    EXPECT_EQ(encode_url_variable("1.0.0-rc.1+build/\x7f\x01 \xc3\xa9"), "1.0.0-rc.1%2Bbuild/%7F%01 %C3%A9");

    CheckRequest request{.current_version = "0.1.36+b", .bundle = BundleType::nsis};
    EXPECT_EQ(substitute_url_variables(
                  "https://h/%7B%7Btarget%7D%7D/{{arch}}/{{current_version}}/{{bundle_type}}?t={{target}}", request),
              "https://h/windows/x86_64/0.1.36%2Bb/nsis?t=windows");
    request.target = "linux-custom";
    request.bundle = BundleType::unknown;
    EXPECT_EQ(substitute_url_variables("https://h/{{target}}/%7B%7Bbundle_type%7D%7D", request),
              "https://h/linux-custom/unknown");
}

TEST(BundleType, MarkerDecidesKeysAndName) {
    EXPECT_EQ(compiled_bundle_marker(), "__TAURI_BUNDLE_TYPE_VAR_NSS");
    struct Case {
        std::string marker;
        std::string_view name;
        std::vector<std::string> keys;
    };
    const Case cases[] = {
        {"__TAURI_BUNDLE_TYPE_VAR_NSS", "nsis", {"windows-x86_64-nsis", "windows-x86_64"}},
        {"__TAURI_BUNDLE_TYPE_VAR_MSI", "msi", {"windows-x86_64-msi", "windows-x86_64"}},
        {"__TAURI_BUNDLE_TYPE_VAR_UNK", "unknown", {"windows-x86_64"}},
        {"", "unknown", {"windows-x86_64"}},
    };
    for (const auto& c : cases) {
        auto type = bundle_type_from_marker(c.marker);
        EXPECT_EQ(installer_name(type), c.name) << c.marker;
        EXPECT_EQ(platform_keys(type), c.keys) << c.marker;
    }
}

TEST(RequestHeaders, AddsUserAgentAndAcceptUnlessGiven) {
    using H = std::vector<lib::http::Header>;
    EXPECT_EQ(request_headers({{"X-A", "1"}}, "application/json"),
              (H{{"User-Agent", "tauri-plugin-updater/2.10.1"}, {"X-A", "1"}, {"Accept", "application/json"}}));
    EXPECT_EQ(request_headers({{"accept", "text/plain"}, {"user-agent", "me"}}, "application/json"),
              (H{{"accept", "text/plain"}, {"user-agent", "me"}}));
}

// The download's pre-hash runs on a thread of its own: it must see every byte once, in order,
// whether the pieces continue each other (they are joined while the thread is busy) or not, and
// wait() must mean that nothing handed is still being read.
TEST(SinkThread, FeedsEveryByteInOrder) {
    std::vector<std::uint8_t> data(1 << 20);
    std::iota(data.begin(), data.end(), std::uint8_t{0});
    const std::size_t half = data.size() / 2, piece = 4096;
    std::span<const std::uint8_t> all(data);
    std::vector<std::uint8_t> seen;
    std::size_t seen_at_wait = 0;
    {
        SinkThread sink(
            [&](std::span<const std::uint8_t> bytes) { seen.insert(seen.end(), bytes.begin(), bytes.end()); });
        for (std::size_t at = 0; at < half; at += 100) {
            sink.hand(all.subspan(at, std::min<std::size_t>(100, half - at)));
        }
        sink.wait();
        seen_at_wait = seen.size();
        // The second half backwards, piece by piece: no piece continues the one before.
        for (std::size_t end = data.size(); end > half; end -= piece) sink.hand(all.subspan(end - piece, piece));
    }
    EXPECT_EQ(seen_at_wait, half);
    ASSERT_EQ(seen.size(), data.size());
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + half, seen.begin()));
    for (std::size_t i = 0; i < half / piece; ++i) {
        auto expected = all.subspan(data.size() - (i + 1) * piece, piece);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), seen.begin() + half + i * piece)) << "piece " << i;
    }
}

TEST(UpdaterConfig, ReadsTheEntryAndRefusesInsecureEndpoints) {
    const std::string prefix = "Error deserializing 'plugins.updater' within your Tauri configuration: ";
    const std::string insecure = prefix + "The configured updater endpoint must use a secure protocol like `https`.";
    const std::pair<Json, std::string> cases[] = {
        {{{"endpoints", {"https://u.example/stable/latest.json"}}, {"pubkey", "K"}}, "ok 1 endpoints, passive"},
        {{{"pubkey", "K"}}, "ok 0 endpoints, passive"},
        {{{"endpoints", {"https://a/x", "http://b/y"}}, {"pubkey", "K"}}, "error " + insecure},
        {{{"endpoints", {"HTTPS://A/x"}}, {"pubkey", "K"}}, "ok 1 endpoints, passive"},
        {{{"endpoints", {"http://b/y"}}, {"pubkey", "K"}, {"dangerousInsecureTransportProtocol", true}},
         "ok 1 endpoints, passive, insecure"},
        {{{"endpoints", {"http://b/y"}}, {"pubkey", "K"}, {"dangerous-insecure-transport-protocol", true}},
         "ok 1 endpoints, passive, insecure"},
        {{{"pubkey", "K"}, {"dangerous-accept-invalid-certs", true}, {"dangerousAcceptInvalidHostnames", true}},
         "ok 0 endpoints, passive, certs, hostnames"},
        {{{"pubkey", "K"}, {"dangerousAcceptInvalidCerts", true}, {"dangerous-accept-invalid-certs", false}},
         "error " + prefix + "duplicate field `dangerousAcceptInvalidCerts`"},
        {{{"pubkey", "K"}, {"windows", {{"installMode", "quiet"}, {"installerArgs", {"/D=x"}}}}},
         "ok 0 endpoints, quiet, args /D=x"},
        {{{"pubkey", "K"}, {"windows", {{"installMode", "silent"}}}},
         "error " + prefix + "unknown variant `silent`, expected one of `basicUi`, `quiet`, `passive`"},
        {{{"endpoints", {"https://a/x"}}}, "error " + prefix + "missing field `pubkey`"},
        {{{"endpoints", {"not a url"}}, {"pubkey", "K"}}, "error " + prefix + "Bad scheme"},
        {{{"endpoints", "https://a/x"}, {"pubkey", "K"}},
         "error " + prefix + "invalid type: string \"https://a/x\", expected a sequence"},
    };
    for (const auto& [entry, expected] : cases) {
        auto config = parse_updater_config(entry);
        std::string got;
        if (!config) {
            got = "error " + config.error();
        } else {
            const char* modes[] = {"basicUi", "quiet", "passive"};
            got = "ok " + std::to_string(config->endpoints.size()) + " endpoints, " +
                  modes[static_cast<int>(config->windows.install_mode)];
            if (config->dangerous_insecure_transport_protocol) got += ", insecure";
            if (config->dangerous_accept_invalid_certs) got += ", certs";
            if (config->dangerous_accept_invalid_hostnames) got += ", hostnames";
            for (const auto& arg : config->windows.installer_args) got += ", args " + arg;
        }
        EXPECT_EQ(got, expected) << entry;
    }
}

}  // namespace
}  // namespace launcher::plugins::updater
