#include "assets/request_path.hpp"

#include <cstdint>
#include <optional>

namespace launcher::assets {
namespace {

std::optional<unsigned> hex_value(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
    return std::nullopt;
}

constexpr std::string_view replacement_character = "\xEF\xBF\xBD";

// How many bytes a sequence led by `lead` has, and the range its second byte must fall in (the
// later ones are always 0x80..0xBF); zero length for a byte that cannot start a sequence.
struct SequenceShape {
    int length;
    std::uint8_t second_min;
    std::uint8_t second_max;
};

SequenceShape shape_of(std::uint8_t lead) {
    if (lead < 0x80) return {1, 0, 0};
    if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
    if (lead == 0xE0) return {3, 0xA0, 0xBF};
    if (lead == 0xED) return {3, 0x80, 0x9F};
    if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
    if (lead == 0xF0) return {4, 0x90, 0xBF};
    if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
    if (lead == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

std::string utf8_lossy(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        SequenceShape shape = shape_of(static_cast<std::uint8_t>(bytes[i]));
        if (shape.length == 0) {
            out += replacement_character;
            ++i;
            continue;
        }
        // Count the bytes that still fit the sequence; a break ends a maximal invalid subpart,
        // which becomes one replacement character, and decoding resumes at the offending byte.
        int valid = 1;
        while (valid < shape.length && i + valid < bytes.size()) {
            auto b = static_cast<std::uint8_t>(bytes[i + valid]);
            std::uint8_t lo = valid == 1 ? shape.second_min : 0x80;
            std::uint8_t hi = valid == 1 ? shape.second_max : 0xBF;
            if (b < lo || b > hi) break;
            ++valid;
        }
        if (valid == shape.length) {
            out.append(bytes.substr(i, valid));
        } else {
            out += replacement_character;
        }
        i += valid;
    }
    return out;
}

}  // namespace

std::string percent_decode_lossy(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            auto hi = hex_value(text[i + 1]);
            auto lo = hex_value(text[i + 2]);
            if (hi && lo) {
                bytes += static_cast<char>(*hi * 16 + *lo);
                i += 2;
                continue;
            }
        }
        bytes += text[i];
    }
    return utf8_lossy(bytes);
}

std::string decode_request_path(std::string_view raw_path) {
    if (raw_path.ends_with('/')) {
        raw_path.remove_suffix(1);
    }
    std::string path = percent_decode_lossy(raw_path);
    if (path.empty()) {
        return "index.html";
    }
    if (path.starts_with('/')) {
        path.erase(0, 1);
    }
    return path;
}

std::string asset_key(std::string_view name) {
    std::string key;
    key.reserve(name.size() + 1);
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = name.size();
        if (end > start) {
            key += '/';
            key.append(name.substr(start, end - start));
        }
        start = end + 1;
    }
    return key.empty() ? "/" : key;
}

}  // namespace launcher::assets
