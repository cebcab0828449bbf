#include "lib/encoding/base64.hpp"

#include <sodium.h>

#include <cstdint>

namespace launcher::lib::encoding {

namespace {

bool in_alphabet(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

int sextet(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    return c == '+' ? 62 : 63;
}

std::string at(unsigned char byte, std::size_t offset) {
    return std::to_string(byte) + ", offset " + std::to_string(offset) + ".";
}

// Why libsodium refused the text, in the decoder's own terms.
std::string explain_refusal(std::string_view text) {
    std::size_t symbols = text.find('=');
    if (symbols == std::string_view::npos) symbols = text.size();
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool valid = i < symbols ? in_alphabet(text[i]) : text[i] == '=';
        if (!valid) return "Invalid symbol " + at(static_cast<unsigned char>(text[i]), i);
    }
    if (symbols % 4 == 1) return "Invalid input length.";
    std::size_t padding = text.size() - symbols;
    std::size_t expected_padding = symbols % 4 == 0 ? 0 : 4 - symbols % 4;
    if (padding != expected_padding) return "Invalid padding";
    if (symbols % 4 == 0) return "Invalid input length.";
    // The last symbol carries bits past the end of the data; they must be zero.
    char last = text[symbols - 1];
    int unused_bits_mask = symbols % 4 == 2 ? 0x0F : 0x03;
    if (sextet(last) & unused_bits_mask)
        return "Invalid last symbol " + at(static_cast<unsigned char>(last), symbols - 1);
    return "Invalid input length.";
}

}  // namespace

std::expected<std::string, std::string> decode_base64(std::string_view text) {
    if (sodium_init() < 0) return std::unexpected("the crypto library could not start");
    std::string out(text.size() / 4 * 3 + 3, '\0');
    std::size_t written = 0;
    const char* end = nullptr;
    int rc = sodium_base642bin(reinterpret_cast<unsigned char*>(out.data()), out.size(), text.data(), text.size(),
                               nullptr, &written, &end, sodium_base64_VARIANT_ORIGINAL);
    if (rc != 0 || end != text.data() + text.size()) return std::unexpected(explain_refusal(text));
    out.resize(written);
    return out;
}

std::string encode_base64(std::string_view bytes) {
    std::string out(sodium_base64_ENCODED_LEN(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(out.data(), out.size(), reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                      sodium_base64_VARIANT_ORIGINAL);
    out.resize(out.size() - 1);  // the terminating NUL
    return out;
}

bool is_valid_utf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        auto b = static_cast<unsigned char>(bytes[i]);
        std::size_t length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        std::uint32_t code = length == 1 ? b : b & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            code = (code << 6) | (c & 0x3F);
        }
        constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

}  // namespace launcher::lib::encoding
