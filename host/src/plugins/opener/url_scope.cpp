#include "plugins/opener/url_scope.hpp"

#include "core/glob.hpp"

namespace launcher::plugins::opener {

namespace {

std::expected<std::vector<UrlScopeEntry>, std::string> entries_from_json(const Json& scope, const char* list) {
    std::vector<UrlScopeEntry> entries;
    auto it = scope.find(list);
    if (it == scope.end()) return entries;
    if (!it->is_array()) return std::unexpected(std::string("opener scope: `") + list + "` is not a list");
    for (const auto& item : *it) {
        if (!item.is_object() || !item.contains("url") || !item["url"].is_string())
            return std::unexpected(std::string("opener scope: an entry of `") + list + "` has no url pattern");
        UrlScopeEntry entry{item["url"].get<std::string>(), {}};
        if (auto app = item.find("app"); app != item.end() && !app->is_null()) {
            if (app->is_boolean())
                entry.app = app->get<bool>();
            else if (app->is_string())
                entry.app = app->get<std::string>();
            else
                return std::unexpected(std::string("opener scope: an entry of `") + list + "` has an invalid app");
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool admits(const AppSetting& setting, const std::optional<std::string>& with) {
    if (std::holds_alternative<std::monostate>(setting)) return !with;
    if (const bool* any = std::get_if<bool>(&setting)) return *any;
    return with && *with == std::get<std::string>(setting);
}

}  // namespace

std::expected<UrlScope, std::string> url_scope_from_json(const Json& scope) {
    if (!scope.is_object()) return std::unexpected(std::string("opener scope: not an object"));
    auto allow = entries_from_json(scope, "allow");
    if (!allow) return std::unexpected(allow.error());
    auto deny = entries_from_json(scope, "deny");
    if (!deny) return std::unexpected(deny.error());
    return UrlScope{std::move(*allow), std::move(*deny)};
}

bool url_allowed(const UrlScope& scope, std::string_view url, const std::optional<std::string>& with) {
    for (const auto& entry : scope.deny)
        if (core::glob_match(entry.url, url)) return false;
    for (const auto& entry : scope.allow)
        if (core::glob_match(entry.url, url) && admits(entry.app, with)) return true;
    return false;
}

std::string not_allowed_message(std::string_view url, const std::optional<std::string>& with) {
    std::string message = "Not allowed to open url " + std::string(url);
    if (with) message += " with " + *with;
    return message;
}

}  // namespace launcher::plugins::opener
