// SemVer parsing and ordering: whatever text an update manifest announces, parsing either fails
// with a message or gives a version whose canonical text parses back to the same version, and the
// ordering the update decision uses is a consistent total order. A message is UTF-8 whatever bytes
// the text held, since it reaches the page.

#include <cstdint>
#include <string>

#include "core/json.hpp"
#include "fuzz_check.hpp"
#include "lib/semver/semver.hpp"

using launcher::fuzz::require;
using namespace launcher::lib::semver;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto text = launcher::fuzz::as_text(data, size);
    // Two versions separated by a newline, so the ordering sees pairs the fuzzer chose.
    auto newline = text.find('\n');
    auto first = text.substr(0, newline);
    auto second = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);

    auto a = parse_semver(first);
    auto b = parse_semver(second);
    for (const auto* parsed : {&a, &b}) {
        if (!*parsed) {
            require(!parsed->error().empty(), "a refused version has a message");
            bool utf8 = true;
            try {
                (void)launcher::Json(parsed->error()).dump();  // the strict writer throws on bytes that are no UTF-8
            } catch (const launcher::Json::type_error&) {
                utf8 = false;
            }
            require(utf8, "a refused version's message is UTF-8", parsed->error());
            continue;
        }
        auto canonical = (*parsed)->to_string();
        auto again = parse_semver(canonical);
        require(again && *again == **parsed, "canonical text parses back to the same version", canonical);
        require(compare_with_build(**parsed, **parsed) == 0, "a version equals itself", canonical);
    }
    if (a && b) {
        auto ab = compare_with_build(*a, *b);
        auto ba = compare_with_build(*b, *a);
        require((ab < 0) == (ba > 0) && (ab == 0) == (ba == 0), "the order is antisymmetric");
        require((ab == 0) == (*a == *b), "equal in order exactly when equal in every part");
        auto pa = compare_precedence(*a, *b);
        require(pa == 0 || pa == ab, "build metadata only breaks ties");
    }
    return 0;
}
