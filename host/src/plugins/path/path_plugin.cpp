#include "plugins/path/path_plugin.hpp"

#include "plugins/path/path_functions.hpp"

namespace launcher::plugins::path {

namespace {

using core::CommandResult;
using core::Invocation;

// A command that maps the `path` argument to its answer.
template <class Function>
core::Handler on_path(Function function) {
    return [function](Invocation& inv) -> CommandResult {
        auto text = inv.arg<std::string>("path");
        if (!text) return std::unexpected(text.error());
        return function(*text);
    };
}

CommandResult answer(std::expected<std::string, std::string> text) {
    if (!text) return std::unexpected(text.error());
    return Json(*text);
}

}  // namespace

void register_path_plugin(core::App& app) {
    constexpr auto main_thread = core::RunOn::main_thread;
    app.router()
        .plugin("path")
        .add("basename", main_thread,
             [](Invocation& inv) -> CommandResult {
                 auto args = inv.decode<std::string, std::optional<std::string>>("path", "ext");
                 if (!args) return std::unexpected(args.error());
                 const auto& [text, ext] = *args;
                 return answer(path::basename(text, ext));
             })
        .add("dirname", main_thread, on_path([](const std::string& text) { return answer(path::dirname(text)); }))
        .add("extname", main_thread, on_path([](const std::string& text) { return answer(path::extname(text)); }))
        .add("is_absolute", main_thread,
             on_path([](const std::string& text) -> CommandResult { return Json(path::is_absolute(text)); }))
        .add("normalize", main_thread,
             on_path([](const std::string& text) -> CommandResult { return Json(path::normalize(text)); }))
        .add("join", main_thread, [](Invocation& inv) -> CommandResult {
            auto parts = inv.arg<std::vector<std::string>>("paths");
            if (!parts) return std::unexpected(parts.error());
            return Json(path::join(*parts));
        });
}

}  // namespace launcher::plugins::path
