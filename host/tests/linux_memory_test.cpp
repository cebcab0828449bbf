#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/memory.hpp"

namespace launcher::platform {
namespace {

// The flags /proc/self/smaps gives the mapping that holds `address` (" rd wr mr ... hg "), or
// nothing when none does.
std::string flags_of_mapping_at(std::uintptr_t address) {
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool found = false;
    while (std::getline(smaps, line)) {
        auto first_word = line.substr(0, line.find(' '));
        if (!first_word.ends_with(':')) {  // "7f12c0000000-7f12c0800000 rw-p 00000000 00:00 0"
            auto dash = line.find('-');
            auto first = std::stoull(line.substr(0, dash), nullptr, 16);
            auto end = std::stoull(line.substr(dash + 1, first_word.size() - dash - 1), nullptr, 16);
            found = first <= address && address < end;
        } else if (found && line.starts_with("VmFlags:")) {
            return line.substr(8) + " ";
        }
    }
    return {};
}

// The advice covers the whole pages inside the range it is given and nothing beside them, so a
// block that does not begin or end on a page never changes memory that is not its own. The kernel
// marks an advised mapping "hg" in smaps, whatever its huge-page setting.
TEST(AdviseLargePages, AdvisesTheWholePagesInsideTheRange) {
    if (!std::filesystem::exists("/sys/kernel/mm/transparent_hugepage")) {
        GTEST_SKIP() << "this kernel has no transparent huge pages";
    }
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t size = 8 * 1024 * 1024;
    void* mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);

    advise_large_pages(static_cast<char*>(mapped) + 16, size - 32);
    EXPECT_EQ(flags_of_mapping_at(start).find(" hg "), std::string::npos) << "the first, partial page";
    EXPECT_NE(flags_of_mapping_at(start + page).find(" hg "), std::string::npos) << "the whole pages";
    EXPECT_EQ(flags_of_mapping_at(start + size - page).find(" hg "), std::string::npos) << "the last, partial page";

    // A range inside one page holds no whole page: nothing is advised, nothing fails.
    advise_large_pages(mapped, page - 1);
    EXPECT_EQ(flags_of_mapping_at(start).find(" hg "), std::string::npos);
    munmap(mapped, size);
}

}  // namespace
}  // namespace launcher::platform
