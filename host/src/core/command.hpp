#pragma once

#include <expected>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "core/args.hpp"
#include "core/json.hpp"
#include "core/page_link.hpp"

namespace launcher::core {

class App;
class ResourceTable;

// The answer of a host command: a JSON value, or the exact error message the page receives.
using CommandResult = std::expected<Json, std::string>;

// Who makes a call. `local` is true only for a page served from the application's own scheme
// in the top frame of one of the launcher's web views.
struct Caller {
    std::string window;
    std::string webview;
    bool local = false;
};

struct Request {
    std::string key;  // "set_complete", "plugin:updater|check"
    Json args = Json::object();
    Caller caller;
    std::shared_ptr<PageLink> page;  // the calling page; null for calls made by the host itself
};

// One call of a command, handed to its handler: the arguments with their decoders, the caller,
// and the host services the command may use.
class Invocation {
public:
    Invocation(App& app, Request request);

    const std::string& key() const { return request_.key; }
    // The command's own name: the key without "plugin:NAME|"; used in argument messages.
    std::string_view name() const;
    const Json& args() const { return request_.args; }
    const Caller& caller() const { return request_.caller; }
    const std::shared_ptr<PageLink>& page() const { return request_.page; }
    App& app() const { return app_; }

    template <class T>
    std::expected<T, std::string> arg(std::string_view key) const {
        return required_arg<T>(request_.args, name(), key);
    }
    template <class T>
    std::expected<std::optional<T>, std::string> optional(std::string_view key) const {
        return optional_arg<T>(request_.args, name(), key);
    }
    // A channel argument ("__CHANNEL__:N") bound to the calling page.
    std::expected<Channel, std::string> channel(std::string_view key) const;
    // Several arguments in one step, as decode_args; a Channel among the types is a channel argument.
    template <class... Ts, class... Keys>
    std::expected<std::tuple<Ts...>, std::string> decode(const Keys&... keys) const {
        auto one = [this]<class T>(std::string_view key) -> std::expected<T, std::string> {
            if constexpr (std::is_same_v<T, Channel>)
                return channel(key);
            else
                return decode_arg<T>(request_.args, name(), key);
        };
        return decode_keys<Ts...>(one, keys...);
    }

    // The resource table of the calling web view.
    ResourceTable& webview_resources() const;

private:
    App& app_;
    Request request_;
};

using Handler = std::function<CommandResult(Invocation&)>;

// Synchronous commands run at once on the main thread; asynchronous ones on the worker pool, or,
// when they wait on a network peer for as long as it likes, on a thread of their own.
enum class RunOn { main_thread, worker, own_thread };

struct Command {
    std::string key;
    RunOn run_on = RunOn::main_thread;
    Handler handler;
};

}  // namespace launcher::core
