#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/command.hpp"
#include "core/permissions.hpp"

namespace launcher::core {

using Reply = std::function<void(CommandResult)>;

class Router;

// Adds the commands of one registered plugin, each under "plugin:{plugin}|{command}".
class PluginCommands {
public:
    PluginCommands& add(std::string_view command, RunOn run_on, Handler handler);

private:
    friend class Router;
    PluginCommands(Router& router, std::string plugin) : router_(router), plugin_(std::move(plugin)) {}

    Router& router_;
    std::string plugin_;
};

// Decides and runs page-to-host calls: the permission check for plugin commands, then the
// command's handler on the main thread, on a worker, or on a thread of its own.
class Router {
public:
    explicit Router(App& app) : app_(app) {}

    // Start-up only. Registering a plugin or a command twice, or a plugin command before its
    // plugin, is a programming error and fatal.
    void add_plugin(const std::string& name);
    void add(Command command);
    // Start-up only: registers the plugin and returns the adder of its commands.
    PluginCommands plugin(const std::string& name);
    // Whether a command with this key was registered.
    bool serves(const std::string& key) const { return commands_.contains(key); }
    void set_permissions(PermissionSet permissions) { permissions_ = std::move(permissions); }
    const PermissionSet& permissions() const { return permissions_; }

    // Main thread. `reply` is called exactly once, always on the main thread.
    void dispatch(Request request, Reply reply);

    // The refusal a call meets before its handler would run, if any.
    std::optional<std::string> refusal(const Request& request) const;

private:
    App& app_;
    PermissionSet permissions_;
    std::set<std::string> plugins_;
    std::unordered_map<std::string, Command> commands_;
};

// The error text of an exception that escaped a handler; exceptions never reach the page.
CommandResult run_handler(const Handler& handler, Invocation& invocation);

}  // namespace launcher::core
