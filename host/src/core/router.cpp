#include "core/router.hpp"

#include <exception>

#include "core/app.hpp"
#include "core/fatal.hpp"

namespace launcher::core {

namespace {

constexpr std::string_view plugin_prefix = "plugin:";
constexpr std::string_view channel_fetch = "plugin:__TAURI_CHANNEL__|fetch";

// "plugin:updater|check" -> "updater"; empty for the launcher's own commands.
std::string plugin_of(std::string_view key) {
    if (!key.starts_with(plugin_prefix)) return {};
    key.remove_prefix(plugin_prefix.size());
    return std::string(key.substr(0, key.find('|')));
}

}  // namespace

void Router::add_plugin(const std::string& name) {
    if (!plugins_.insert(name).second) fatal("plugin registered twice: " + name);
}

PluginCommands& PluginCommands::add(std::string_view command, RunOn run_on, Handler handler) {
    router_.add({std::string(plugin_prefix) + plugin_ + "|" + std::string(command), run_on, std::move(handler)});
    return *this;
}

PluginCommands Router::plugin(const std::string& name) {
    add_plugin(name);
    return PluginCommands(*this, name);
}

void Router::add(Command command) {
    auto key = command.key;
    // Channel data is the host's own command under a plugin-like name; no plugin stands behind it.
    if (key.starts_with(plugin_prefix) && key != channel_fetch && !plugins_.contains(plugin_of(key))) {
        fatal("command of an unregistered plugin: " + key);
    }
    if (!commands_.emplace(key, std::move(command)).second) fatal("command registered twice: " + key);
}

std::optional<std::string> Router::refusal(const Request& request) const {
    const auto& key = request.key;
    // Built only when a call is refused: every command a page makes passes through here.
    auto not_found = [&key] { return "Command " + key + " not found"; };
    if (key == channel_fetch) {
        if (!commands_.contains(key)) return not_found();
        return std::nullopt;
    }
    if (!key.starts_with(plugin_prefix)) {
        if (!commands_.contains(key)) return not_found();
        return std::nullopt;
    }
    if (!permissions_.allows(key, request.caller)) return "Command " + key + " not allowed by ACL";
    auto plugin = plugin_of(key);
    if (!plugins_.contains(plugin)) return "plugin " + plugin + " not found";
    if (!commands_.contains(key)) return not_found();
    return std::nullopt;
}

void Router::dispatch(Request request, Reply reply) {
    if (auto refused = refusal(request)) {
        reply(std::unexpected(*refused));
        return;
    }
    const Command& command = commands_.at(request.key);
    if (!request.args.is_object()) request.args = Json::object();
    if (command.run_on == RunOn::main_thread) {
        Invocation invocation(app_, std::move(request));
        reply(run_handler(command.handler, invocation));
        return;
    }
    auto task = [this, handler = command.handler, request = std::move(request), reply = std::move(reply)]() mutable {
        Invocation invocation(app_, std::move(request));
        auto result = run_handler(handler, invocation);
        app_.loop().post(
            [reply = std::move(reply), result = std::move(result)]() mutable { reply(std::move(result)); });
    };
    if (command.run_on == RunOn::own_thread)
        app_.waiting_tasks().post(std::move(task));
    else
        app_.workers().post(std::move(task));
}

CommandResult run_handler(const Handler& handler, Invocation& invocation) {
    try {
        return handler(invocation);
    } catch (const std::exception& e) {
        return std::unexpected(std::string(e.what()));
    }
}

Invocation::Invocation(App& app, Request request) : app_(app), request_(std::move(request)) {}

std::string_view Invocation::name() const {
    std::string_view key = request_.key;
    if (auto bar = key.find('|'); key.starts_with(plugin_prefix) && bar != std::string_view::npos) {
        key.remove_prefix(bar + 1);
    }
    return key;
}

std::expected<Channel, std::string> Invocation::channel(std::string_view key) const {
    constexpr std::string_view prefix = "__CHANNEL__:";
    auto text = arg<std::string>(key);
    if (!text) return std::unexpected(text.error());
    std::string_view digits(*text);
    std::uint32_t id = 0;
    bool valid = digits.starts_with(prefix) && digits.size() > prefix.size() && digits.size() <= prefix.size() + 9;
    if (valid) {
        for (char c : digits.substr(prefix.size())) {
            if (c < '0' || c > '9') valid = false;
            id = id * 10 + static_cast<std::uint32_t>(c - '0');
        }
    }
    if (!valid) {
        return std::unexpected(invalid_args_message(
            name(), key, "invalid value: string " + Json(*text).dump() + ", expected a channel reference"));
    }
    return Channel(request_.page, id);
}

ResourceTable& Invocation::webview_resources() const { return app_.webview_resources(request_.caller.webview); }

}  // namespace launcher::core
