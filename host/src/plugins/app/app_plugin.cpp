#include "plugins/app/app_plugin.hpp"

namespace launcher::plugins::app {

void register_app_plugin(core::App& app, std::optional<std::string> bundle_type) {
    using core::CommandResult;
    using core::Invocation;
    constexpr auto main_thread = core::RunOn::main_thread;
    app.router()
        .plugin("app")
        .add("name", main_thread, [](Invocation& inv) -> CommandResult { return Json(inv.app().info().name); })
        .add("version", main_thread, [](Invocation& inv) -> CommandResult { return Json(inv.app().info().version); })
        .add("identifier", main_thread,
             [](Invocation& inv) -> CommandResult { return Json(inv.app().info().identifier); })
        .add("supports_multiple_windows", main_thread, [](Invocation&) -> CommandResult { return Json(true); })
        .add("tauri_version", main_thread, [](Invocation&) -> CommandResult { return Json(page_api_version); })
        .add("bundle_type", main_thread, [bundle_type = std::move(bundle_type)](Invocation&) -> CommandResult {
            return bundle_type ? Json(*bundle_type) : Json(nullptr);
        });
}

}  // namespace launcher::plugins::app
