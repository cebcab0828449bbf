#include "installer/zip_layout.hpp"

#include <optional>

namespace launcher::installer {

namespace {

constexpr std::uint32_t end_signature = 0x06054b50;
constexpr std::uint32_t zip64_locator_signature = 0x07064b50;
constexpr std::uint32_t zip64_end_signature = 0x06064b50;
constexpr std::uint32_t directory_signature = 0x02014b50;
constexpr std::uint32_t local_signature = 0x04034b50;
constexpr std::size_t end_size = 22;
constexpr std::size_t zip64_locator_size = 20;
constexpr std::size_t zip64_end_size = 56;
constexpr std::size_t directory_size = 46;
constexpr std::size_t local_size = 30;
constexpr std::uint16_t zip64_extra_id = 0x0001;

// Little-endian fields of the archive, read only where the bytes exist.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool has(std::uint64_t at, std::uint64_t length) const {
        return at <= bytes_.size() && length <= bytes_.size() - at;
    }
    std::uint64_t field(std::uint64_t at, int width) const {
        std::uint64_t value = 0;
        for (int i = width - 1; i >= 0; --i) value = (value << 8) | bytes_[at + i];
        return value;
    }
    std::uint64_t size() const { return bytes_.size(); }
    std::string text(std::uint64_t at, std::uint64_t length) const {
        return std::string(reinterpret_cast<const char*>(bytes_.data() + at), length);
    }

private:
    std::span<const std::uint8_t> bytes_;
};

struct Directory {
    std::uint64_t offset;
    std::uint64_t size;
    std::uint64_t entries;
};

// The end record nearest the end whose comment fits the archive, and the ZIP64 record it points
// at when a locator precedes it.
std::optional<Directory> find_directory(const Reader& in) {
    if (in.size() < end_size) return std::nullopt;
    std::uint64_t lowest = in.size() > end_size + 0xFFFF ? in.size() - end_size - 0xFFFF : 0;
    for (std::uint64_t at = in.size() - end_size + 1; at-- > lowest;) {
        if (in.field(at, 4) != end_signature || at + end_size + in.field(at + 20, 2) > in.size()) continue;
        Directory directory{in.field(at + 16, 4), in.field(at + 12, 4), in.field(at + 10, 2)};
        std::uint64_t directory_end = at;
        if (at >= zip64_locator_size && in.field(at - zip64_locator_size, 4) == zip64_locator_signature) {
            std::uint64_t record = in.field(at - zip64_locator_size + 8, 8);
            if (!in.has(record, zip64_end_size) || in.field(record, 4) != zip64_end_signature) return std::nullopt;
            directory = {in.field(record + 48, 8), in.field(record + 40, 8), in.field(record + 32, 8)};
            directory_end = record;
        }
        if (directory.offset > directory_end || directory.size > directory_end - directory.offset) return std::nullopt;
        return directory;
    }
    return std::nullopt;
}

// The compressed size and local header offset of a directory entry, from its ZIP64 extra field
// where the 32-bit fields say so.
bool apply_zip64(const Reader& in, std::uint64_t extra, std::uint64_t extra_length, std::uint64_t uncompressed,
                 std::uint64_t& compressed, std::uint64_t& offset) {
    constexpr std::uint64_t escape = 0xFFFFFFFF;
    if (compressed != escape && offset != escape) return true;
    for (std::uint64_t at = extra; at + 4 <= extra + extra_length;) {
        std::uint64_t id = in.field(at, 2), length = in.field(at + 2, 2);
        if (at + 4 + length > extra + extra_length) return false;
        if (id == zip64_extra_id) {
            std::uint64_t next = at + 4, stop = at + 4 + length;
            auto take = [&](std::uint64_t& value) {
                if (value != escape) return true;
                if (next + 8 > stop) return false;
                value = in.field(next, 8);
                next += 8;
                return true;
            };
            std::uint64_t skipped = uncompressed;
            return take(skipped) && take(compressed) && take(offset);
        }
        at += 4 + length;
    }
    return false;
}

}  // namespace

std::expected<std::vector<LocalSpan>, std::string> local_spans(std::span<const std::uint8_t> archive) {
    Reader in(archive);
    auto directory = find_directory(in);
    if (!directory) return std::unexpected(std::string("central directory not found"));
    std::vector<LocalSpan> spans;
    std::uint64_t at = directory->offset;
    const std::uint64_t directory_end = directory->offset + directory->size;
    for (std::uint64_t i = 0; i < directory->entries; ++i) {
        if (at + directory_size > directory_end || in.field(at, 4) != directory_signature)
            return std::unexpected(std::string("central directory damaged"));
        std::uint64_t name_length = in.field(at + 28, 2), extra_length = in.field(at + 30, 2);
        std::uint64_t record_end = at + directory_size + name_length + extra_length + in.field(at + 32, 2);
        if (record_end > directory_end) return std::unexpected(std::string("central directory damaged"));
        std::uint64_t compressed = in.field(at + 20, 4), offset = in.field(at + 42, 4);
        if (!apply_zip64(in, at + directory_size + name_length, extra_length, in.field(at + 24, 4), compressed, offset))
            return std::unexpected(std::string("central directory damaged"));
        std::string name = in.text(at + directory_size, name_length);

        // The local header and the data after it lie before the central directory.
        if (offset > directory->offset || local_size > directory->offset - offset ||
            in.field(offset, 4) != local_signature)
            return std::unexpected("no local header for entry " + name);
        std::uint64_t data = offset + local_size + in.field(offset + 26, 2) + in.field(offset + 28, 2);
        if (data > directory->offset || compressed > directory->offset - data)
            return std::unexpected("entry " + name + " runs into the central directory");
        spans.push_back({std::move(name), offset, data + compressed});
        at = record_end;
    }
    return spans;
}

}  // namespace launcher::installer
