#include <cerrno>
#include <system_error>

#include "platform/files.hpp"

namespace launcher::platform {

std::expected<File, std::string> create_new_file(const std::filesystem::path& path) {
    // glibc's "x": O_CREAT | O_EXCL, which also refuses a symbolic link in the file's place.
    File file(std::fopen(path.c_str(), "wbx"));
    if (!file) return std::unexpected(std::generic_category().message(errno));
    return file;
}

}  // namespace launcher::platform
