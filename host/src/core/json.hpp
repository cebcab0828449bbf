#pragma once

#include <nlohmann/json.hpp>

namespace launcher {

// Every JSON value the host reads or writes keeps its keys in insertion order, so records
// serialise with their fields in declaration order.
using Json = nlohmann::ordered_json;

// Compact serialisation with UTF-8 left as it is (no \u escapes for non-ASCII text).
inline std::string to_compact(const Json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace launcher
