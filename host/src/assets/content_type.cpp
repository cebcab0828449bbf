#include "assets/content_type.hpp"

#include <array>
#include <utility>

namespace launcher::assets {
namespace {

using namespace std::string_view_literals;

// A signature is one or two byte patterns at fixed offsets; both must match. Patterns that could
// begin an ordinary text file carry enough binary bytes (NULs, high bytes) that text never matches.
struct Signature {
    std::string_view mime;
    std::size_t offset;
    std::string_view magic;
    std::size_t second_offset = 0;
    std::string_view second_magic = {};
};

// First match wins, so the specific "ftyp" brands come before the generic MP4 one.
constexpr std::array signatures{
    Signature{"image/png", 0, "\x89PNG\r\n\x1a\n"sv},
    Signature{"image/jpeg", 0, "\xFF\xD8\xFF"sv},
    Signature{"image/gif", 0, "GIF87a"sv},
    Signature{"image/gif", 0, "GIF89a"sv},
    Signature{"image/webp", 0, "RIFF"sv, 8, "WEBP"sv},
    Signature{"image/bmp", 0, "BM"sv, 6, "\0\0\0\0"sv},
    Signature{"image/vnd.microsoft.icon", 0, "\0\0\x01\0"sv},
    Signature{"image/tiff", 0, "II*\0"sv},
    Signature{"image/tiff", 0, "MM\0*"sv},
    Signature{"image/avif", 4, "ftypavif"sv},
    Signature{"video/mp4", 4, "ftyp"sv},
    Signature{"video/webm", 0, "\x1A\x45\xDF\xA3"sv},
    Signature{"video/x-msvideo", 0, "RIFF"sv, 8, "AVI "sv},
    Signature{"audio/wav", 0, "RIFF"sv, 8, "WAVE"sv},
    Signature{"audio/mpeg", 0, "ID3\x02"sv},
    Signature{"audio/mpeg", 0, "ID3\x03"sv},
    Signature{"audio/mpeg", 0, "ID3\x04"sv},
    Signature{"audio/ogg", 0, "OggS\0"sv},
    Signature{"audio/flac", 0, "fLaC"sv},
    Signature{"font/woff", 0, "wOFF"sv},
    Signature{"font/woff2", 0, "wOF2"sv},
    Signature{"font/ttf", 0, "\0\x01\0\0\0"sv},
    Signature{"font/otf", 0, "OTTO\0"sv},
    Signature{"application/wasm", 0, "\0asm"sv},
    Signature{"application/pdf", 0, "%PDF-"sv},
    Signature{"application/zip", 0, "PK\x03\x04"sv},
    Signature{"application/gzip", 0, "\x1F\x8B\x08"sv},
    Signature{"application/x-7z-compressed", 0, "7z\xBC\xAF\x27\x1C"sv},
    Signature{"application/x-xz", 0,
              "\xFD"
              "7zXZ\0"sv},
    Signature{"application/vnd.rar", 0, "Rar!\x1A\x07"sv},
};

bool bytes_at(std::span<const std::uint8_t> body, std::size_t offset, std::string_view magic) {
    if (body.size() < offset + magic.size()) {
        return false;
    }
    for (std::size_t i = 0; i < magic.size(); ++i) {
        if (body[offset + i] != static_cast<unsigned char>(magic[i])) {
            return false;
        }
    }
    return true;
}

constexpr std::array<std::pair<std::string_view, std::string_view>, 16> extension_types{{
    {"css", "text/css"},
    {"less", "text/css"},
    {"sass", "text/css"},
    {"styl", "text/css"},
    {"csv", "text/csv"},
    {"html", "text/html"},
    {"ico", "image/vnd.microsoft.icon"},
    {"js", "text/javascript"},
    {"mjs", "text/javascript"},
    {"json", "application/json"},
    {"jsonld", "application/ld+json"},
    {"mp4", "video/mp4"},
    {"bin", "application/octet-stream"},
    {"rtf", "application/rtf"},
    {"svg", "image/svg+xml"},
    {"txt", "text/plain"},
}};

}  // namespace

std::optional<std::string_view> sniff_mime_type(std::span<const std::uint8_t> body) {
    for (const Signature& s : signatures) {
        if (bytes_at(body, s.offset, s.magic) &&
            (s.second_magic.empty() || bytes_at(body, s.second_offset, s.second_magic))) {
            return s.mime;
        }
    }
    return std::nullopt;
}

std::string_view mime_type_for_extension(std::string_view path) {
    std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) {
        return "text/html";
    }
    std::string_view extension = path.substr(dot + 1);
    for (const auto& [name, mime] : extension_types) {
        if (name == extension) {
            return mime;
        }
    }
    return "text/html";
}

std::string_view content_type(std::string_view path, std::span<const std::uint8_t> body) {
    if (path.ends_with(".svg")) {
        return mime_type_for_extension(path);
    }
    return sniff_mime_type(body).value_or(mime_type_for_extension(path));
}

}  // namespace launcher::assets
