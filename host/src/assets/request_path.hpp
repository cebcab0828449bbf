#pragma once

#include <string>
#include <string_view>

namespace launcher::assets {

// Turns the path of a request into the name the resolver works with: one trailing "/" dropped,
// percent escapes decoded (invalid UTF-8 becoming U+FFFD), an empty path read as "index.html" and
// otherwise one leading "/" dropped.
std::string decode_request_path(std::string_view raw_path);

// Decodes "%XX" escapes; a "%" not followed by two hex digits stays as it is. Byte sequences that
// are not valid UTF-8 are replaced by U+FFFD, one per maximal invalid subpart.
std::string percent_decode_lossy(std::string_view text);

// The table key for a candidate name: components split on "/" or "\", empty ones dropped, joined
// with "/" behind a leading "/". "." and ".." are kept as components, so they never climb out of
// the table; they simply match no key.
std::string asset_key(std::string_view name);

}  // namespace launcher::assets
