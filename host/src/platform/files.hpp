#pragma once

#include <cstdio>
#include <expected>
#include <filesystem>
#include <memory>
#include <string>

namespace launcher::platform {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Creates `path` and opens it for writing bytes. Creation is exclusive: a file that already
// exists, or a link planted in its place, is never followed or overwritten. The path reaches the
// system as it names files (UTF-16 on Windows), so a folder named in any language works. Fails
// with the system's message.
std::expected<File, std::string> create_new_file(const std::filesystem::path& path);

}  // namespace launcher::platform
