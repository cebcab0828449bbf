#pragma once

#include <cstdint>
#include <expected>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "installer/package_kind.hpp"

namespace launcher::installer {

// Extracts every entry of a ZIP archive held in memory into `directory`. Only entries stored
// without compression or encryption can be extracted ("unsupported Zip archive: ..."); damaged
// archives, entries whose path is absolute or leaves the directory, and entries that share bytes
// of the archive (so the entries together never write more than the archive holds) fail with
// "invalid Zip archive: ...". Every entry is checked before anything is written, so a refused
// archive leaves the directory as it was.
std::expected<void, std::string> extract_stored_zip(std::span<const std::uint8_t> archive,
                                                    const std::filesystem::path& directory);

// An entry's archive path as a relative path that stays inside the destination; nullopt for an
// absolute path, a drive letter, a backslash or a ".." component.
std::optional<std::filesystem::path> safe_entry_path(std::string_view name);

struct FoundInstaller {
    std::filesystem::path path;
    PackageKind kind;  // nsis or msi
};

// The first top-level entry of `directory` (in the file system's order) named "*.exe" or "*.msi".
std::optional<FoundInstaller> find_installer(const std::filesystem::path& directory);

}  // namespace launcher::installer
