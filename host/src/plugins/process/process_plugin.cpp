#include "plugins/process/process_plugin.hpp"

#include <cstdint>

#include "core/app.hpp"

namespace launcher::plugins::process {

void register_process_plugin(core::App& app) {
    app.router()
        .plugin("process")
        .add("restart", core::RunOn::main_thread,
             [](core::Invocation& call) -> core::CommandResult {
                 call.app().request_restart();
                 return nullptr;
             })
        .add("exit", core::RunOn::main_thread, [](core::Invocation& call) -> core::CommandResult {
            auto code = call.arg<std::int32_t>("code");
            if (!code) return std::unexpected(code.error());
            call.app().request_exit(*code);
            return nullptr;
        });
}

}  // namespace launcher::plugins::process
