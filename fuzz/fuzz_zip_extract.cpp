// ZIP extraction of an update package into a scratch directory: whatever the archive says, nothing
// lands outside the destination, nothing but plain files and folders is made, and an archive
// refused while it is checked leaves the destination empty.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz_check.hpp"
#include "installer/zip_extract.hpp"

using launcher::fuzz::require;
namespace fs = std::filesystem;

namespace {

// One scratch root per fuzzing process: "out" is the destination, and the root must never hold
// anything else.
const fs::path& scratch_root() {
    static const fs::path root = [] {
        std::string pattern = (fs::temp_directory_path() / "launcher-fuzz-zip-XXXXXX").string();
        require(mkdtemp(pattern.data()) != nullptr, "scratch directory");
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(scratch_root(), ignored);
        });
        return fs::path(pattern);
    }();
    return root;
}

bool empty_directory(const fs::path& path) { return fs::is_empty(path); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& root = scratch_root();
    const auto out = root / "out";
    std::error_code ignored;
    fs::remove_all(out, ignored);
    fs::create_directory(out);

    auto extracted = launcher::installer::extract_stored_zip({data, size}, out);

    for (const auto& item : fs::directory_iterator(root)) {
        require(item.path() == out, "nothing is written beside the destination", item.path().string());
    }
    for (const auto& item : fs::recursive_directory_iterator(out)) {
        auto status = item.symlink_status();
        require(fs::is_regular_file(status) || fs::is_directory(status), "only plain files and folders",
                item.path().string());
    }
    if (!extracted) {
        const auto& message = extracted.error();
        require(!message.empty(), "a refusal has a message");
        if (message.starts_with("unsupported Zip archive: ") ||
            message.starts_with("invalid Zip archive: unsafe entry path")) {
            require(empty_directory(out), "a refused archive writes nothing", message);
        }
        return 0;
    }
    if (auto found = launcher::installer::find_installer(out)) {
        require(found->path.parent_path() == out, "the installer is found at the top level only");
    }
    return 0;
}
