#pragma once

#include <cstddef>

namespace launcher::platform {

// Asks the system to back a large block with large pages where it offers them on request. Filling
// a fresh block costs one page fault per page touched: for 100 MB that is about 25,000 faults of
// 4 KiB pages against about 50 of 2 MiB ones, and each fault is dear on a virtual machine. Only
// the whole pages inside the range are advised; advice that the system refuses or lacks changes
// nothing, so this never fails.
void advise_large_pages(void* data, std::size_t size);

}  // namespace launcher::platform
