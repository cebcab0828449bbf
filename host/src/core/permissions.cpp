#include "core/permissions.hpp"

#include "core/glob.hpp"

namespace launcher::core {

bool PermissionSet::allows(std::string_view key, const Caller& caller) const {
    auto it = granted.find(std::string(key));
    if (it == granted.end()) return false;
    for (const auto& entry : it->second) {
        if (entry.local_only && !caller.local) continue;
        for (const auto& pattern : entry.windows) {
            if (glob_match(pattern, caller.window)) return true;
        }
    }
    return false;
}

}  // namespace launcher::core
