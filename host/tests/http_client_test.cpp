// The HTTP client against a loopback HTTPS server with a CA made for the run.

#include <gtest/gtest.h>

#include "lib/http/http_client.hpp"
#include "lib/http/url.hpp"
#include "updater_test_support.hpp"

namespace launcher::lib::http {
namespace {

struct Fetched {
    std::string outcome;  // "200 OK: body" or the error message
    int chunks = 0;
};

Fetched fetch(const ClientSettings& settings, const std::string& url, bool read_body = true) {
    Fetched fetched;
    std::string body;
    BodyReader reader{[&](const ResponseHead&) { return read_body; },
                      [&](std::string_view chunk) {
                          body.append(chunk);
                          ++fetched.chunks;
                      }};
    auto head = get(settings, GetRequest{url, {{"Accept", "*/*"}}, std::chrono::seconds(5), std::nullopt}, reader);
    fetched.outcome = head ? head->status_text + ": " + body : head.error().message;
    return fetched;
}

TEST(HttpClient, TrustRedirectsAndSchemes) {
    testing::HttpsServer server;
    server.route("/file", {{"body", "payload"}});
    server.route("/to-https", {{"status", 302}, {"headers", {{"Location", server.url("/file")}}}});
    auto plain_http = "http://127.0.0.1:" + server.url("").substr(server.url("").rfind(':') + 1) + "/file";
    server.route("/to-http", {{"status", 302}, {"headers", {{"Location", plain_http}}}});
    server.route("/teapot", {{"status", 418}});

    ClientSettings trusting{.extra_ca_file = server.ca_file()};
    ClientSettings system_only{};
    ClientSettings careless{.accept_invalid_certs = true};
    struct Case {
        const char* what;
        const ClientSettings& settings;
        std::string url;
        std::string expected;  // "^" matches the start
    };
    const Case cases[] = {
        {"trusted through the extra CA", trusting, server.url("/file"), "200 OK: payload"},
        {"unknown CA refused", system_only, server.url("/file"),
         "^error sending request for url (" + server.url("/file")},
        {"invalid certificates accepted when told", careless, server.url("/file"), "200 OK: payload"},
        {"https redirect followed", trusting, server.url("/to-https"), "200 OK: payload"},
        {"redirect to http refused", trusting, server.url("/to-http"), "^error sending request for url ("},
        {"registered reason phrase", trusting, server.url("/teapot"), "418 I'm a teapot: "},
        {"other schemes refused", trusting, "file:///etc/hostname", "^error sending request for url (file:///etc"},
        {"missing CA file", ClientSettings{.extra_ca_file = "/nonexistent/ca.pem"}, server.url("/file"),
         "^error sending request for url (" + server.url("/file") + "): could not read CA file /nonexistent/ca.pem"},
    };
    for (const auto& c : cases) {
        auto got = fetch(c.settings, c.url).outcome;
        if (c.expected.starts_with("^")) {
            EXPECT_TRUE(got.starts_with(c.expected.substr(1))) << c.what << ": " << got;
        } else {
            EXPECT_EQ(got, c.expected) << c.what;
        }
    }
    // A reader that declines the body receives none of it.
    auto declined = fetch(trusting, server.url("/file"), false);
    EXPECT_EQ(declined.outcome, "200 OK: ");
    EXPECT_EQ(declined.chunks, 0);
}

TEST(Url, ParserMessages) {
    const std::pair<std::string_view, std::string> cases[] = {
        {"https://Example.COM/stable/latest.json", "ok https://Example.COM/stable/latest.json"},
        {"HTTPS://h/{{target}}", "ok https://h/{{target}}"},
        {"no scheme", "error Bad scheme"},
        {"https://h/a b", "error Bad path"},
        {std::string_view("https://h/\0x", 12), "error Malformed input to a URL function"},
    };
    for (const auto& [text, expected] : cases) {
        auto url = parse_url(text);
        EXPECT_EQ(url ? "ok " + url->text : "error " + url.error(), expected) << text;
    }
}

}  // namespace
}  // namespace launcher::lib::http
