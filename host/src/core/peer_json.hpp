#pragma once

#include <cstddef>
#include <expected>
#include <string>
#include <string_view>

#include "core/json.hpp"

namespace launcher::core {

// How deeply JSON from a peer the host does not control (a page's command message, an update
// server's manifest) may nest arrays and objects. The host's own pages send a handful of levels,
// a manifest three; copying or writing a JSON value recurses once per level, so a peer that sends
// a value nested hundreds of thousands deep would otherwise overflow the stack and end the host.
inline constexpr std::size_t max_peer_json_depth = 128;

// Whether the JSON text nests arrays and objects at most `max_depth` deep. A linear scan of the
// text that skips strings; it does not check that the text is valid JSON.
bool json_nesting_within(std::string_view text, std::size_t max_depth = max_peer_json_depth);

// Strict JSON text from such a peer, refused before parsing when it nests deeper than
// max_peer_json_depth. Fails with the reason: "arrays and objects nested deeper than 128 levels",
// a NUL byte (which the parser alone would take for the end of the text), or the parser's
// explanation, a number beyond the range of a double included.
std::expected<Json, std::string> parse_peer_json(std::string_view text);

}  // namespace launcher::core
