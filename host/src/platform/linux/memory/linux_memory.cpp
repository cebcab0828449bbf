#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "platform/memory.hpp"

namespace launcher::platform {

// Transparent huge pages, on request: the kernel's default setting ("madvise") gives them only to
// advised ranges. A kernel set to "never", or one without them, refuses or ignores the advice.
void advise_large_pages(void* data, std::size_t size) {
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const auto first = (start + page - 1) / page * page;
    const auto end = (start + size) / page * page;
    if (end <= first) return;
    (void)madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

}  // namespace launcher::platform
