#include "installer/update_directory.hpp"

#include <sodium.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/files.hpp"

namespace launcher::installer {

namespace {

std::string random_suffix() {
    static constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 6; ++i) suffix += alphabet[randombytes_uniform(static_cast<std::uint32_t>(alphabet.size()))];
    return suffix;
}

}  // namespace

std::string errno_message(int error) { return std::generic_category().message(error); }

std::expected<std::filesystem::path, std::string> create_unique_directory(const std::filesystem::path& parent,
                                                                          std::string_view prefix) {
    if (sodium_init() < 0) return std::unexpected("the system's random source is unavailable");
    // 62^6 names: a collision is rare, a long run of them means something else is wrong.
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto path = parent / (std::string(prefix) + random_suffix());
        std::error_code error;
        if (std::filesystem::create_directory(path, error)) {
            // The installer is written here next; nobody else needs to read or add to it.
            std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::replace, error);
            if (error) return std::unexpected(error.message());
            return path;
        }
        if (error) return std::unexpected(error.message());
    }
    return std::unexpected(errno_message(EEXIST));
}

std::expected<void, std::string> write_new_file(const std::filesystem::path& path,
                                                std::span<const std::uint8_t> bytes) {
    auto file = platform::create_new_file(path);
    if (!file) return std::unexpected(file.error());
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file->get()) != bytes.size())
        return std::unexpected(errno_message(errno));
    if (std::fclose(file->release()) != 0) return std::unexpected(errno_message(errno));
    return {};
}

}  // namespace launcher::installer
