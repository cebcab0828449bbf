#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace launcher::assets {

// The type a file's leading bytes announce, for binary formats with a fixed signature (images,
// audio, video, archives, fonts). Text has no signature and is never matched here, so text files
// always take their type from their name.
std::optional<std::string_view> sniff_mime_type(std::span<const std::uint8_t> body);

// The type for the text after the last "." of `path` (case-sensitive); "text/html" for any other
// extension and for a path without ".".
std::string_view mime_type_for_extension(std::string_view path);

// The type an answer is labelled with: ".svg" names by extension alone (an SVG is text and has no
// signature to trust), everything else by signature first and extension second. `path` is the name
// that was asked for, not the entry that answered it, so a missing file answered with the main
// page keeps the type of its own name.
std::string_view content_type(std::string_view path, std::span<const std::uint8_t> body);

}  // namespace launcher::assets
