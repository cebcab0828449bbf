#include "platform/memory.hpp"

namespace launcher::platform {

// Windows gives large pages only to a block allocated with them (VirtualAlloc with
// MEM_LARGE_PAGES) by an account holding the "lock pages in memory" right, which a launcher run by
// a user does not have; there is no advice to give an existing block, so it is left as it is.
void advise_large_pages(void*, std::size_t) {}

}  // namespace launcher::platform
