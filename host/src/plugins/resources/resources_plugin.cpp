#include "plugins/resources/resources_plugin.hpp"

namespace launcher::plugins::resources {

void register_resources_plugin(core::App& app) {
    app.router()
        .plugin("resources")
        .add("close", core::RunOn::main_thread, [](core::Invocation& inv) -> core::CommandResult {
            auto rid = inv.arg<std::uint32_t>("rid");
            if (!rid) return std::unexpected(rid.error());
            auto closed = inv.webview_resources().close(*rid);
            if (!closed) return std::unexpected(closed.error());
            return nullptr;
        });
}

}  // namespace launcher::plugins::resources
