#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/json.hpp"

namespace launcher::plugins::opener {

// Which `with` values a scope entry admits: none (no `with` at all), any (true) or no call
// (false), or exactly one program name.
using AppSetting = std::variant<std::monostate, bool, std::string>;

struct UrlScopeEntry {
    std::string url;  // glob over the whole URL text
    AppSetting app;
};

struct UrlScope {
    std::vector<UrlScopeEntry> allow;
    std::vector<UrlScopeEntry> deny;
};

// Reads the opener's scope as the permission set carries it:
// {"allow": [{"url": pattern, "app": true|false|"program"}, ...], "deny": [...]}, "app" optional.
std::expected<UrlScope, std::string> url_scope_from_json(const Json& scope);

// A URL matching any deny pattern is refused; otherwise it needs an allow entry whose pattern
// matches and whose application setting admits `with`.
bool url_allowed(const UrlScope& scope, std::string_view url, const std::optional<std::string>& with);

// "Not allowed to open url {url}" with " with {program}" when a program was named.
std::string not_allowed_message(std::string_view url, const std::optional<std::string>& with);

}  // namespace launcher::plugins::opener
