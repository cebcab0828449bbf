#pragma once

namespace launcher::gpu {

// A graphics runtime loaded by name. The first request loads it and the handle is kept for the
// life of the process: graphics drivers register process-wide state (exit handlers, thread-local
// data) and are not safe to unload. Null when the library cannot be loaded. Any thread.
void* runtime_library(const char* name);

// The named symbol of a library from runtime_library(), or null.
void* runtime_symbol(void* library, const char* name);

template <class Function>
Function runtime_function(void* library, const char* name) {
    return reinterpret_cast<Function>(runtime_symbol(library, name));
}

}  // namespace launcher::gpu
