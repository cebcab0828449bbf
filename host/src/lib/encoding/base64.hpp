#pragma once

#include <expected>
#include <string>
#include <string_view>

namespace launcher::lib::encoding {

// Standard base64 (RFC 4648 alphabet, "=" padding required, unused bits zero). Fails with the
// decoder's explanation: "Invalid symbol 33, offset 4.", "Invalid input length.",
// "Invalid padding" or "Invalid last symbol 66, offset 3.".
std::expected<std::string, std::string> decode_base64(std::string_view text);

std::string encode_base64(std::string_view bytes);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool is_valid_utf8(std::string_view bytes);

}  // namespace launcher::lib::encoding
