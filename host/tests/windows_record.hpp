#pragma once

// Reads what windows_record_args (or the recording script) wrote: the arguments it was started
// with, each followed by a NUL byte.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace launcher::testing {

// The recorded arguments once the file is in place (within two minutes, ample for an installer
// on a busy machine); the file is removed for the next recording.
inline std::optional<std::vector<std::string>> wait_for_record(const std::filesystem::path& record) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!std::filesystem::exists(record)) {
        if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::string all;
    {
        std::ifstream in(record, std::ios::binary);
        all.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::filesystem::remove(record);
    std::vector<std::string> args;
    for (std::size_t start = 0; start < all.size();) {
        auto end = all.find('\0', start);
        args.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

}  // namespace launcher::testing
