#pragma once

#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <vector>

namespace launcher::installer {

// The bytes one central-directory entry claims in the archive: its local header, name, extra
// field and stored data.
struct LocalSpan {
    std::string raw_name;  // the central directory's name bytes, as stored
    std::uint64_t begin;   // offset of the local header
    std::uint64_t end;     // one past the last byte of the entry's data
};

// The span of every central-directory entry, in directory order, read from the archive's own
// records (libzip does not tell where an entry lies). Fails with a reason when the end record,
// the directory or a local header cannot be read, or an entry reaches past the start of the
// central directory.
std::expected<std::vector<LocalSpan>, std::string> local_spans(std::span<const std::uint8_t> archive);

}  // namespace launcher::installer
