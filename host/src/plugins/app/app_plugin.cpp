#include "app/app_plugin.hpp"

namespace launcher::plugins {

void register_app_plugin(core::App& app) {
    using core::Command;
    using core::Invocation;
    app.router().add_plugin("app");
    app.router().add(Command{"plugin:app|name", core::RunOn::main_thread,
                             [](Invocation& inv) -> core::CommandResult { return Json(inv.app().info().name); }});
    app.router().add(Command{"plugin:app|version", core::RunOn::main_thread,
                             [](Invocation& inv) -> core::CommandResult { return Json(inv.app().info().version); }});
    app.router().add(Command{"plugin:app|identifier", core::RunOn::main_thread,
                             [](Invocation& inv) -> core::CommandResult { return Json(inv.app().info().identifier); }});
    app.router().add(Command{"plugin:app|supports_multiple_windows", core::RunOn::main_thread,
                             [](Invocation&) -> core::CommandResult { return Json(true); }});
}

}  // namespace launcher::plugins
