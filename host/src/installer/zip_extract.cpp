#include "installer/zip_extract.hpp"

#include <zip.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

#include "installer/update_directory.hpp"
#include "installer/zip_layout.hpp"
#include "platform/files.hpp"

namespace launcher::installer {

namespace {

constexpr std::string_view invalid_prefix = "invalid Zip archive: ";
constexpr std::string_view unsupported_prefix = "unsupported Zip archive: ";

std::string libzip_message(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;
using Entry = std::unique_ptr<zip_file_t, EntryCloser>;

std::expected<Archive, std::string> open_archive(std::span<const std::uint8_t> bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!source) {
        std::string message = std::string(invalid_prefix) + zip_error_strerror(&error);
        zip_error_fini(&error);
        return std::unexpected(message);
    }
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!archive) {
        zip_source_free(source);
        std::string message = std::string(invalid_prefix) + zip_error_strerror(&error);
        zip_error_fini(&error);
        return std::unexpected(message);
    }
    zip_error_fini(&error);
    return Archive(archive);
}

struct PlannedEntry {
    zip_uint64_t index;
    std::filesystem::path relative;
    bool is_directory;
};

// Checks every entry before anything is written: names, compression, encryption and sizes.
std::expected<std::vector<PlannedEntry>, std::string> plan_extraction(zip_t* archive) {
    std::vector<PlannedEntry> plan;
    zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0)
            return std::unexpected(std::string(invalid_prefix) + zip_strerror(archive));
        std::string_view name = stat.name ? stat.name : "";
        auto relative = safe_entry_path(name);
        if (!relative) return std::unexpected(std::string(invalid_prefix) + "unsafe entry path " + std::string(name));
        if (stat.comp_method != ZIP_CM_STORE)
            return std::unexpected(std::string(unsupported_prefix) + libzip_message(ZIP_ER_COMPNOTSUPP));
        if (stat.encryption_method != ZIP_EM_NONE)
            return std::unexpected(std::string(unsupported_prefix) + libzip_message(ZIP_ER_ENCRNOTSUPP));
        if (stat.size != stat.comp_size)
            return std::unexpected(std::string(invalid_prefix) + "stored entry " + std::string(name) +
                                   " claims another size than its data");
        plan.push_back({static_cast<zip_uint64_t>(i), std::move(*relative), name.ends_with('/')});
    }
    return plan;
}

// Refuses entries that share bytes of the archive: stored entries whose directory records point
// at the same local entry, or into another's data, would each write those bytes again (a
// thousand records for one 1 MiB entry write a gigabyte). With every entry's bytes apart, the
// entries together write no more than the archive holds. The records are read a second time here
// because libzip does not say where an entry lies; both readings must name the same entries.
std::expected<void, std::string> check_entries_apart(zip_t* archive, std::span<const std::uint8_t> bytes) {
    auto spans = local_spans(bytes);
    if (!spans) return std::unexpected(std::string(invalid_prefix) + spans.error());
    auto count = static_cast<std::size_t>(zip_get_num_entries(archive, 0));
    if (spans->size() != count) return std::unexpected(std::string(invalid_prefix) + "central directory inconsistent");
    for (std::size_t i = 0; i < count; ++i) {
        const char* raw = zip_get_name(archive, i, ZIP_FL_ENC_RAW);
        if (!raw || (*spans)[i].raw_name != raw)
            return std::unexpected(std::string(invalid_prefix) + "central directory inconsistent");
    }
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i) order[i] = i;
    std::ranges::stable_sort(order, {}, [&](std::size_t i) { return (*spans)[i].begin; });
    for (std::size_t k = 1; k < count; ++k) {
        auto before = order[k - 1], after = order[k];
        if ((*spans)[before].end > (*spans)[after].begin) {
            return std::unexpected(std::string(invalid_prefix) + "entries " + zip_get_name(archive, before, 0) +
                                   " and " + zip_get_name(archive, after, 0) + " overlap");
        }
    }
    return {};
}

// Copies one entry into a new file, reading through libzip so the stored CRC is checked.
std::expected<void, std::string> extract_entry(zip_t* archive, zip_uint64_t index, const std::filesystem::path& path) {
    Entry entry(zip_fopen_index(archive, index, 0));
    if (!entry) return std::unexpected(std::string(invalid_prefix) + zip_strerror(archive));
    auto file = platform::create_new_file(path);
    if (!file) return std::unexpected(file.error());
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        zip_int64_t read = zip_fread(entry.get(), buffer.data(), buffer.size());
        if (read < 0) return std::unexpected(std::string(invalid_prefix) + zip_file_strerror(entry.get()));
        if (read == 0) break;
        if (std::fwrite(buffer.data(), 1, static_cast<std::size_t>(read), file->get()) !=
            static_cast<std::size_t>(read))
            return std::unexpected(errno_message(errno));
    }
    if (std::fclose(file->release()) != 0) return std::unexpected(errno_message(errno));
    return {};
}

}  // namespace

std::optional<std::filesystem::path> safe_entry_path(std::string_view name) {
    if (name.empty() || name.starts_with('/')) return std::nullopt;
    // Backslashes separate folders on Windows and a colon names a drive or a stream there;
    // neither belongs in an archive path.
    if (name.find_first_of("\\:") != std::string_view::npos) return std::nullopt;
    std::filesystem::path relative;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string_view::npos) end = name.size();
        std::string_view part = name.substr(start, end - start);
        if (part == "..") return std::nullopt;
        if (!part.empty() && part != ".") relative /= std::string(part);
        start = end + 1;
    }
    if (relative.empty()) return std::nullopt;
    return relative;
}

std::expected<void, std::string> extract_stored_zip(std::span<const std::uint8_t> bytes,
                                                    const std::filesystem::path& directory) {
    auto archive = open_archive(bytes);
    if (!archive) return std::unexpected(archive.error());
    auto plan = plan_extraction(archive->get());
    if (!plan) return std::unexpected(plan.error());
    if (auto apart = check_entries_apart(archive->get(), bytes); !apart) return std::unexpected(apart.error());
    for (const auto& entry : *plan) {
        auto target = directory / entry.relative;
        std::error_code error;
        std::filesystem::create_directories(entry.is_directory ? target : target.parent_path(), error);
        if (error) return std::unexpected(error.message());
        if (entry.is_directory) continue;
        if (auto written = extract_entry(archive->get(), entry.index, target); !written) return written;
    }
    return {};
}

std::optional<FoundInstaller> find_installer(const std::filesystem::path& directory) {
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(directory, error)) {
        auto name = item.path().filename().string();
        if (name.ends_with(".exe")) return FoundInstaller{item.path(), PackageKind::nsis};
        if (name.ends_with(".msi")) return FoundInstaller{item.path(), PackageKind::msi};
    }
    return std::nullopt;
}

}  // namespace launcher::installer
