// The Windows side of platform/linux/graphics/runtime_library.hpp, which the shared Vulkan code
// calls.

#include <windows.h>

#include "platform/linux/graphics/runtime_library.hpp"

namespace launcher::gpu {

// The graphics runtimes are system DLLs: searching System32 only keeps a DLL of the same name in
// the launcher's folder or the working directory from being loaded in their place. Every call
// takes a reference the process never gives back, so the module stays loaded for its life.
void* runtime_library(const char* name) {
    return reinterpret_cast<void*>(LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

void* runtime_symbol(void* library, const char* name) {
    return library ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)) : nullptr;
}

}  // namespace launcher::gpu
