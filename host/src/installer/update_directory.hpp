#pragma once

#include <cstdint>
#include <expected>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace launcher::installer {

// Creates a new directory "{prefix}" + six random letters or digits inside `parent`. Creation is
// exclusive: a name that already exists is never reused, another is drawn instead. Fails with
// the system's message.
std::expected<std::filesystem::path, std::string> create_unique_directory(const std::filesystem::path& parent,
                                                                          std::string_view prefix);

// Writes `bytes` to a file that must not exist yet; fails with the system's message.
std::expected<void, std::string> write_new_file(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// The system's message for a C library error number (errno).
std::string errno_message(int error);

}  // namespace launcher::installer
