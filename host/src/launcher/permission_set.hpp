#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "core/permissions.hpp"

namespace launcher {

// The launcher's compiled permissions: the plugin commands the window "main" may call from the
// launcher's own pages, and the plugins' global scopes. The splash window is granted nothing.
// The only scope is the opener's URL scope, scopes["opener"]:
// {"allow": [{"url": pattern}, ...], "deny": [{"url": pattern}, ...]}.
core::PermissionSet launcher_permission_set();

// Commands the permission set grants although the launcher serves none behind them, and why.
// A call to one passes the check and then fails as not found.
struct UnservedGrant {
    std::string_view plugin;
    std::vector<std::string_view> commands;  // empty: every granted command of the plugin
    std::string_view reason;
};
std::span<const UnservedGrant> unserved_grants();

}  // namespace launcher
