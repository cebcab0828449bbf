// JSON from peers the host does not control: the depth guard before parsing, and the parse itself.

#include <gtest/gtest.h>

#include "core/peer_json.hpp"

namespace launcher::core {
namespace {

std::string nested(std::size_t depth, char open = '[', char close = ']') {
    return std::string(depth, open) + std::string(depth, close);
}

TEST(JsonDepth, CountsArraysAndObjectsButNotStrings) {
    struct Case {
        const char* what;
        std::string text;
        std::size_t limit;
        bool within;
    };
    const Case cases[] = {
        {"scalar", "5", 0, true},
        {"at the limit", nested(3), 3, true},
        {"one past the limit", nested(4), 3, false},
        {"objects count", R"({"a":{"b":{"c":{}}}})", 3, false},
        {"siblings do not add up", "[[],[],[[]]]", 3, true},
        {"brackets inside strings", R"(["[[[[", "{{{{"])", 1, true},
        {"escaped quote keeps the string open", R"(["\"[[[["])", 1, true},
        {"escaped backslash closes the string", R"(["\\", [[[]]]])", 3, false},
        {"stray closers never go below zero", "]]]][[", 2, true},
        {"a page's flood of nesting", nested(1'000'000), max_peer_json_depth, false},
        {"a real command message",
         R"({"cmd":"plugin:event|emit","args":{"event":"x","payload":[1,{"a":[2]}]},"token":"t"})", max_peer_json_depth,
         true},
    };
    for (const auto& c : cases) EXPECT_EQ(json_nesting_within(c.text, c.limit), c.within) << c.what;
}

TEST(ParsePeerJson, AnswersAValueOrTheReasonWithoutThrowing) {
    struct Case {
        const char* what;
        std::string text;
        std::string expected;  // the value's compact text, or "error " + the reason
    };
    const Case cases[] = {
        {"a value", R"({"a":[1,2.5,"x"]})", R"({"a":[1,2.5,"x"]})"},
        {"as deep as allowed", nested(max_peer_json_depth), nested(max_peer_json_depth)},
        {"one level deeper", nested(max_peer_json_depth + 1), "error arrays and objects nested deeper than 128 levels"},
        {"not JSON", "<html>",
         "error [json.exception.parse_error.101] parse error at line 1, column 1: syntax error while parsing value - "
         "invalid literal; last read: '<'"},
        {"trailing text", "{} {}",
         "error [json.exception.parse_error.101] parse error at line 1, column 4: syntax error while parsing value - "
         "unexpected '{'; expected end of input"},
        {"a NUL byte after the value", std::string("{}\0{", 4), "error a NUL byte at byte 2 is no JSON text"},
        {"a NUL byte in a string", std::string("[\"a\0\"]", 6), "error a NUL byte at byte 3 is no JSON text"},
        // The parser signals this one with another kind of exception than its syntax errors.
        {"a number beyond any double", R"({"size":1e400})",
         "error [json.exception.out_of_range.406] number overflow parsing '1e400'"},
        {"the largest double", "[1.7976931348623157e308]", "[1.7976931348623157e+308]"},
    };
    for (const auto& c : cases) {
        auto parsed = parse_peer_json(c.text);
        EXPECT_EQ(parsed ? to_compact(*parsed) : "error " + parsed.error(), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace launcher::core
