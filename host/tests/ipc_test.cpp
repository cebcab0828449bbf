// The page side of the command protocol without a web view: the envelopes a page may post, the
// decision whether the caller is the view's own page, the replies and the bridge script.

#include <gtest/gtest.h>

#include "core/ipc.hpp"
#include "page_envelope.hpp"

namespace launcher::core {
namespace {

using namespace std::string_literals;

constexpr std::string_view origin = "tauri://localhost";
constexpr std::string_view own_page = "tauri://localhost/index.html";

using launcher::testing::with_token;

std::string outcome(const std::expected<Request, std::string>& request) {
    if (!request) return "error " + request.error();
    return request->key + " " + to_compact(request->args) + (request->caller.local ? " local" : " foreign");
}

TEST(PageBridge, DecodesEnvelopesAndTellsItsOwnPageFromOthers) {
    const std::string malformed = "error malformed command message";
    const std::string deep = std::string(128, '[') + std::string(128, ']');
    struct Case {
        const char* what;
        std::string message;
        std::string_view page_uri;
        std::string expected;
    };
    const Case cases[] = {
        {"the bridge's envelope", R"({"cmd":"plugin:app|version","args":{"a":[1]},"token":"$TOKEN"})", own_page,
         R"(plugin:app|version {"a":[1]} local)"},
        {"the origin itself", R"({"cmd":"c","token":"$TOKEN"})", origin, "c {} local"},
        {"a number", "42", own_page, malformed},
        {"an array", R"(["cmd"])", own_page, malformed},
        {"null", "null", own_page, malformed},
        {"a string", R"("{\"cmd\":\"c\"}")", own_page, malformed},
        {"no cmd", R"({"args":{},"token":"$TOKEN"})", own_page, malformed},
        {"cmd a number", R"({"cmd":5,"token":"$TOKEN"})", own_page, malformed},
        {"cmd null", R"({"cmd":null,"token":"$TOKEN"})", own_page, malformed},
        {"args absent", R"({"cmd":"c","token":"$TOKEN"})", own_page, "c {} local"},
        {"args an array", R"({"cmd":"c","args":[1,2],"token":"$TOKEN"})", own_page, "c {} local"},
        {"args a string", R"({"cmd":"c","args":"x","token":"$TOKEN"})", own_page, "c {} local"},
        {"args null", R"({"cmd":"c","args":null,"token":"$TOKEN"})", own_page, "c {} local"},
        {"no token", R"({"cmd":"c"})", own_page, "c {} foreign"},
        {"another token", R"({"cmd":"c","token":"0123"})", own_page, "c {} foreign"},
        {"token a number", R"({"cmd":"c","token":5})", own_page, "c {} foreign"},
        {"a remote page", R"({"cmd":"c","token":"$TOKEN"})", "https://example.com/", "c {} foreign"},
        {"a host that starts like the origin", R"({"cmd":"c","token":"$TOKEN"})", "tauri://localhost.example.com/",
         "c {} foreign"},
        {"the origin inside a remote URI", R"({"cmd":"c","token":"$TOKEN"})", "https://a.test/?tauri://localhost/",
         "c {} foreign"},
        {"a view showing no page", R"({"cmd":"c","token":"$TOKEN"})", "", "c {} foreign"},
        {"as deep as allowed", R"({"cmd":"c","args":{"a":)" + deep.substr(2, 252) + R"(},"token":"$TOKEN"})", own_page,
         "c {\"a\":" + deep.substr(2, 252) + "} local"},
        {"nested too deep", R"({"cmd":"c","args":{"a":)" + deep + "}}", own_page, malformed},
        {"not JSON", "not json", own_page, malformed},
        {"cut short", R"({"cmd":"c")", own_page, malformed},
        {"text after the envelope", R"({"cmd":"c"} {})", own_page, malformed},
        {"bytes that are no UTF-8", "{\"cmd\":\"c\xff\"}", own_page, malformed},
        {"a NUL escaped in a string", R"({"cmd":"no\u0000such","args":{"t":"a\u0000b"},"token":"$TOKEN"})", own_page,
         "no\0such {\"t\":\"a\\u0000b\"} local"s},
        {"a NUL byte in a string", "{\"cmd\":\"no\0such\"}"s, own_page, malformed},
        {"a NUL byte after the envelope", "{\"cmd\":\"c\"}\0{"s, own_page, malformed},
        {"a number beyond any double", R"({"cmd":"c","args":{"n":1e400},"token":"$TOKEN"})", own_page, malformed},
    };
    PageBridge bridge("main", origin);
    for (const auto& c : cases) {
        auto request = bridge.decode(with_token(c.message, bridge.token()), c.page_uri);
        EXPECT_EQ(outcome(request), c.expected) << c.what;
        if (request) {
            EXPECT_EQ(request->caller.window, "main") << c.what;
            EXPECT_EQ(request->caller.webview, "main") << c.what;
            EXPECT_EQ(request->page, nullptr) << c.what;
        }
    }
}

TEST(PageBridge, EachViewHasItsOwnTokenInItsScript) {
    PageBridge main("main", origin);
    PageBridge splash("splashscreen", origin);
    EXPECT_NE(main.token(), splash.token());
    EXPECT_EQ(main.token().size(), 48u);
    EXPECT_EQ(main.token().find_first_not_of("0123456789abcdef"), std::string::npos) << main.token();
    auto script = splash.script();
    EXPECT_EQ(script.find("__LAUNCHER_"), std::string::npos);
    EXPECT_NE(script.find(R"({"currentWindow":{"label":"splashscreen"},"currentWebview":{"label":"splashscreen"}})"),
              std::string::npos);
    EXPECT_NE(script.find("\"" + splash.token() + "\""), std::string::npos);
    // A bridge posting with another view's token is a foreign caller of this one.
    auto request = splash.decode(R"({"cmd":"c","token":")" + main.token() + "\"}", own_page);
    EXPECT_EQ(outcome(request), "c {} foreign");
}

TEST(EncodeReply, CarriesEveryCharacterAsValidUtf8WithoutNul) {
    struct Case {
        const char* what;
        CommandResult result;
        bool ok;
        std::string json;
    };
    const Case cases[] = {
        {"an answer", Json{{"a", {1, true, nullptr}}}, true, R"({"a":[1,true,null]})"},
        {"a NUL in an answer", Json("a\0b"s), true, R"("a\u0000b")"},
        {"text beyond ASCII", Json("١ é"), true, "\"١ é\""},
        {"a byte that is no character", Json("a\xff"), true, "\"a\xef\xbf\xbd\""},
        {"an error", std::unexpected(std::string("invalid task completed!")), false, R"("invalid task completed!")"},
        {"a NUL in an error", std::unexpected("no\0such"s), false, R"("no\u0000such")"},
        {"quotes in an error", std::unexpected(std::string(R"(a "b" \c)")), false, R"("a \"b\" \\c")"},
        {"a byte that is no character in an error", std::unexpected(std::string("v\xc3")), false, "\"v\xef\xbf\xbd\""},
    };
    for (const auto& c : cases) {
        auto reply = encode_reply(c.result);
        EXPECT_EQ(reply.ok, c.ok) << c.what;
        EXPECT_EQ(reply.json, c.json) << c.what;
        EXPECT_EQ(reply.json.find('\0'), std::string::npos) << c.what;
    }
}

}  // namespace
}  // namespace launcher::core
