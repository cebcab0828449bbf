// Signature verification against signatures made by Debian's minisign with keys made per run.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "lib/encoding/base64.hpp"
#include "lib/minisign/minisign.hpp"
#include "updater_test_support.hpp"

namespace launcher::lib::minisign {
namespace {

using encoding::decode_base64;
using encoding::encode_base64;
using testing::MinisignKey;
using testing::TempDir;

std::span<const std::uint8_t> bytes_of(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string join_lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) out += line + "\n";
    return out;
}

// Rewrites the base64 payload of one line of a key or signature file.
std::string with_line_bytes(const std::string& file_base64, std::size_t line,
                            const std::function<void(std::string&)>& change) {
    auto lines = split_lines(*decode_base64(file_base64));
    auto bytes = *decode_base64(lines[line]);
    change(bytes);
    lines[line] = encode_base64(bytes);
    return encode_base64(join_lines(lines));
}

std::string with_line(const std::string& file_base64, std::size_t line, const std::string& text) {
    auto lines = split_lines(*decode_base64(file_base64));
    lines[line] = text;
    return encode_base64(join_lines(lines));
}

class MinisignVerification : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new TempDir;
        key = new MinisignKey;
        other_key = new MinisignKey;
        // Sized by the literal itself (NUL and high bytes included, the terminator not).
        constexpr char bytes[] = "MZ installer bytes\0\x01\xff";
        package = std::string(bytes, sizeof bytes - 1);
        package_file = dir->write("setup.exe", package);
    }
    static void TearDownTestSuite() {
        delete other_key;
        delete key;
        delete dir;
    }

    // Checks both ways, at once and fed a few bytes at a time as a download does, which must agree.
    static std::string verify(const std::string& pubkey, const std::string& signature, const std::string& data) {
        auto result = verify_update_signature(pubkey, signature, bytes_of(data));
        UpdateSignatureCheck streamed(pubkey, signature);
        auto whole = bytes_of(data);
        for (std::size_t at = 0; at < whole.size(); at += 3) {
            streamed.feed(whole.subspan(at, std::min<std::size_t>(3, whole.size() - at)));
        }
        auto fed = streamed.finish(whole);
        std::string answer = result ? "verified" : result.error();
        EXPECT_EQ(fed ? "verified" : fed.error(), answer) << "fed in pieces";
        return answer;
    }

    static inline TempDir* dir = nullptr;
    static inline MinisignKey* key = nullptr;
    static inline MinisignKey* other_key = nullptr;
    static inline std::string package;
    static inline std::string package_file;
};

TEST_F(MinisignVerification, AcceptsPrehashedAndLegacySignatures) {
    EXPECT_EQ(verify(key->public_key(), key->sign(package_file, true), package), "verified");
    EXPECT_EQ(verify(key->public_key(), key->sign(package_file, false, "timestamp:1 file:setup.exe"), package),
              "verified");
    // A key file whose tag says "ED" is read like one saying "Ed".
    auto ed_key = with_line_bytes(key->public_key(), 1, [](std::string& b) { b[1] = 'D'; });
    EXPECT_EQ(verify(ed_key, key->sign(package_file, true), package), "verified");
}

TEST_F(MinisignVerification, RefusesEveryChangeWithItsMessage) {
    const std::string signature = key->sign(package_file, true, "trusted release 0.1.37");
    const std::string failed = "The signature verification failed";
    const std::string encoding = "Invalid encoding in minisign data";
    const std::string unsupported = "This signature algorithm is not supported by this implementation";
    auto flipped_package = package;
    flipped_package[3] ^= 0x01;

    struct Case {
        const char* what;
        std::string pubkey;
        std::string signature;
        std::string data;
        std::string expected;
    };
    const Case cases[] = {
        {"another key", other_key->public_key(), signature, package,
         "The signature was created with a different key than the one provided"},
        {"one bit of the package", key->public_key(), signature, flipped_package, failed},
        {"one bit of the signature", key->public_key(),
         with_line_bytes(signature, 1, [](std::string& b) { b[20] ^= 0x01; }), package, failed},
        {"the trusted comment", key->public_key(), with_line(signature, 2, "trusted comment: trusted release 0.1.38"),
         package, failed},
        {"one bit of the global signature", key->public_key(),
         with_line_bytes(signature, 3, [](std::string& b) { b[0] ^= 0x80; }), package, failed},
        {"prehashed tag on a data signature", key->public_key(),
         with_line_bytes(key->sign(package_file, false), 1, [](std::string& b) { b[1] = 'D'; }), package, failed},
        {"unknown signature tag", key->public_key(), with_line_bytes(signature, 1, [](std::string& b) { b[0] = 'X'; }),
         package, unsupported},
        {"unknown key tag", with_line_bytes(key->public_key(), 1, [](std::string& b) { b[1] = 'x'; }), signature,
         package, unsupported},
        {"short key line", with_line_bytes(key->public_key(), 1, [](std::string& b) { b.pop_back(); }), signature,
         package, encoding},
        {"key of one line", encode_base64("untrusted comment: k\n"), signature, package, encoding},
        {"short signature line", key->public_key(), with_line_bytes(signature, 1, [](std::string& b) { b.pop_back(); }),
         package, encoding},
        {"no trusted comment prefix", key->public_key(), with_line(signature, 2, "comment: trusted release 0.1.37"),
         package, encoding},
        {"global signature not base64", key->public_key(), with_line(signature, 3, "%%%%"), package, encoding},
        {"signature of three lines", key->public_key(),
         encode_base64(
             join_lines({"untrusted comment: x", split_lines(*decode_base64(signature))[1], "trusted comment: y"})),
         package, encoding},
        {"key not base64", "not base64!", signature, package, "Invalid symbol 32, offset 3."},
        {"signature badly padded", key->public_key(), signature.substr(0, signature.size() - 1), package,
         "Invalid padding"},
        {"signature not UTF-8", key->public_key(), encode_base64("\xff\xfe"), package,
         "The signature //4= could not be decoded, please check if it is a valid base64 string. The signature must "
         "be the contents of the `.sig` file generated by the Tauri bundler, as a string."},
    };
    for (const auto& c : cases) EXPECT_EQ(verify(c.pubkey, c.signature, c.data), c.expected) << c.what;
}

}  // namespace
}  // namespace launcher::lib::minisign
