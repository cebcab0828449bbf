#pragma once

#include "core/permissions.hpp"

namespace launcher {

// The launcher's compiled permissions: the plugin commands the window "main" may call from the
// launcher's own pages, and the plugins' global scopes. The splash window is granted nothing.
// The only scope is the opener's URL scope, scopes["opener"]:
// {"allow": [{"url": pattern}, ...], "deny": [{"url": pattern}, ...]}.
core::PermissionSet launcher_permission_set();

}  // namespace launcher
