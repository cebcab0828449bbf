// The depth guard a page's command message passes before it is parsed.

#include <gtest/gtest.h>

#include "core/json_depth.hpp"

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
        {"a page's flood of nesting", nested(1'000'000), max_message_depth, false},
        {"a real command message", R"({"cmd":"plugin:event|emit","args":{"event":"x","payload":[1,{"a":[2]}]},"token":"t"})",
         max_message_depth, true},
    };
    for (const auto& c : cases) EXPECT_EQ(json_nesting_within(c.text, c.limit), c.within) << c.what;
}

}  // namespace
}  // namespace launcher::core
