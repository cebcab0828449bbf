#include "platform/linux/graphics/runtime_library.hpp"

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <string>

namespace launcher::gpu {

void* runtime_library(const char* name) {
    static std::mutex mutex;
    static std::map<std::string, void*> loaded;
    std::lock_guard lock(mutex);
    auto [it, inserted] = loaded.try_emplace(name, nullptr);
    if (inserted) it->second = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    return it->second;
}

void* runtime_symbol(void* library, const char* name) { return library ? dlsym(library, name) : nullptr; }

}  // namespace launcher::gpu
