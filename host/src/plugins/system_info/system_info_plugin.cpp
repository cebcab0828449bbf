#include "plugins/system_info/system_info_plugin.hpp"

#include "plugins/system_info/system_info_state.hpp"

namespace launcher::plugins::system_info {

void register_system_info_plugin(core::App& app, std::shared_ptr<platform::SystemProbe> probe) {
    auto& state = app.state().manage<SystemInfoState>(std::move(probe));
    app.workers().post([&state] { state.finish_usage_measurement(); });

    app.router()
        .plugin("system-info")
        .add("cpu_info", core::RunOn::main_thread,
             [&state](core::Invocation&) -> core::CommandResult { return to_json(state.cpu_info()); })
        .add("memory_info", core::RunOn::main_thread,
             [&state](core::Invocation&) -> core::CommandResult { return to_json(state.memory_info()); });
}

}  // namespace launcher::plugins::system_info
