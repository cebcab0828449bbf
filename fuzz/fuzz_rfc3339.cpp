// RFC 3339 parsing of a manifest's pub_date: a parsed time can always be written back (the check
// would otherwise fail with "Failed to format date"), and the written text parses to the same time.

#include <cstdint>
#include <string>

#include "fuzz_check.hpp"
#include "lib/time/rfc3339.hpp"

using launcher::fuzz::require;
using namespace launcher::lib::time;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto text = launcher::fuzz::as_text(data, size);
    auto parsed = parse_rfc3339(text);
    if (!parsed) {
        require(!parsed.error().empty(), "a refused time has a message");
        return 0;
    }
    auto written = format_rfc3339(*parsed);
    require(written.has_value(), "every parsed time can be formatted", std::string(text));
    auto again = parse_rfc3339(*written);
    require(again && *again == *parsed, "the formatted text parses back to the same time", *written);
    auto rewritten = format_rfc3339(*again);
    require(rewritten && *rewritten == *written, "formatting is stable", *written);
    return 0;
}
