#pragma once

#include <cstddef>
#include <string_view>

namespace launcher::core {

// How deeply a command message from a page may nest arrays and objects. The host's own pages send
// a handful of levels; copying or writing a JSON value recurses once per level, so a page that
// sends a value nested hundreds of thousands deep would otherwise overflow the stack and end the
// host.
inline constexpr std::size_t max_message_depth = 128;

// Whether the JSON text nests arrays and objects at most `max_depth` deep. A linear scan of the
// text that skips strings; it does not check that the text is valid JSON.
bool json_nesting_within(std::string_view text, std::size_t max_depth = max_message_depth);

}  // namespace launcher::core
