#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "platform/files.hpp"

namespace launcher::platform {

// The system C runtime (msvcrt.dll) refuses fopen's "x" as an invalid mode (and wine's ignores
// it), so the file is created exclusively at the descriptor level and then given a stream.
std::expected<File, std::string> create_new_file(const std::filesystem::path& path) {
    int descriptor = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (descriptor < 0) return std::unexpected(std::generic_category().message(errno));
    File file(_fdopen(descriptor, "wb"));
    if (!file) {
        auto error = errno;
        _close(descriptor);
        return std::unexpected(std::generic_category().message(error));
    }
    return file;
}

}  // namespace launcher::platform
