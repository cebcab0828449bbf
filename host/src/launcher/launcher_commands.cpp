#include "launcher/launcher_commands.hpp"

#include "launcher/set_complete.hpp"
#include "platform/graphics.hpp"

namespace launcher {

namespace {

std::string state_not_managed(std::string_view parameter, std::string_view command) {
    return "state not managed for field `" + std::string(parameter) + "` on command `" + std::string(command) +
           "`. You must call `.manage()` before using this command";
}

core::CommandResult set_complete_command(core::Invocation& call) {
    auto task = call.arg<std::string>("task");
    if (!task) return std::unexpected(task.error());
    auto* state = call.app().state().find<SetupState>();
    if (!state) return std::unexpected(state_not_managed("state", call.name()));
    auto done = set_complete(call.app(), *state, *task);
    if (!done) return std::unexpected(done.error());
    return Json(nullptr);
}

core::CommandResult list_gpus_command(core::Invocation&) { return gpu::to_json(platform::list_gpus()); }

}  // namespace

void register_launcher_commands(core::App& app) {
    app.router().add({"set_complete", core::RunOn::worker, set_complete_command});
    app.router().add({"list_gpus", core::RunOn::worker, list_gpus_command});
}

}  // namespace launcher
