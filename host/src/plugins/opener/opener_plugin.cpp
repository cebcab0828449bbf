#include "plugins/opener/opener_plugin.hpp"

#include <page/scripts.hpp>

#include "core/app.hpp"
#include "plugins/opener/url_scope.hpp"

namespace launcher::plugins::opener {

namespace {

core::CommandResult open_url(core::Invocation& call, platform::Shell& shell) {
    auto args = call.decode<std::string, std::optional<std::string>>("url", "with");
    if (!args) return std::unexpected(args.error());
    const auto& [url, with] = *args;

    // Without an opener scope in the permission set nothing is allowed.
    const auto& scopes = call.app().router().permissions().scopes;
    auto configured = scopes.find("opener");
    std::expected<opener::UrlScope, std::string> scope = opener::UrlScope{};
    if (configured != scopes.end()) scope = opener::url_scope_from_json(configured->second);
    if (!scope) return std::unexpected(scope.error());
    if (!opener::url_allowed(*scope, url, with)) return std::unexpected(opener::not_allowed_message(url, with));

    if (auto opened = shell.open_url(url, with); !opened) return std::unexpected(opened.error());
    return nullptr;
}

}  // namespace

void register_opener_plugin(core::App& app, platform::Shell& shell) {
    // Launching a program may take a moment (desktop database lookups, process start), so both
    // commands stay off the main thread.
    app.router()
        .plugin("opener")
        .add("open_url", core::RunOn::worker, [&shell](core::Invocation& call) { return open_url(call, shell); })
        .add("reveal_item_in_dir", core::RunOn::worker, [&shell](core::Invocation& call) -> core::CommandResult {
            auto paths = call.arg<std::vector<std::string>>("paths");
            if (!paths) return std::unexpected(paths.error());
            if (auto shown = shell.reveal(*paths); !shown) return std::unexpected(shown.error());
            return nullptr;
        });
    app.add_page_script({std::string(page::links), true});
}

}  // namespace launcher::plugins::opener
