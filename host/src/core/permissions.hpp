#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/command.hpp"
#include "core/json.hpp"

namespace launcher::core {

// One way a granted command may be called: from local pages only (or any origin), in a window
// whose label matches one of the patterns.
struct PermissionEntry {
    std::vector<std::string> windows;
    bool local_only = true;
};

// Which plugin commands each window may call, and the plugins' global scopes.
struct PermissionSet {
    std::unordered_map<std::string, std::vector<PermissionEntry>> granted;  // by command key
    std::unordered_map<std::string, Json> scopes;                           // by plugin name

    bool allows(std::string_view key, const Caller& caller) const;
};

}  // namespace launcher::core
