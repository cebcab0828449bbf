#include "plugins/event/event_plugin.hpp"

#include "plugins/event/event_args.hpp"

namespace launcher::plugins::event {

namespace {

using core::CommandResult;
using core::Invocation;

CommandResult listen(Invocation& inv) {
    auto args = inv.decode<EventName, core::EventTarget, std::uint32_t>("event", "target", "handler");
    if (!args) return std::unexpected(args.error());
    auto& [event, target, handler] = *args;
    // Only a page has callbacks to deliver to.
    if (!inv.page()) return std::unexpected(std::string("listen needs a calling page"));
    return inv.app().events().listen(std::move(event.value), std::move(target), handler, inv.page());
}

CommandResult unlisten(Invocation& inv) {
    auto args = inv.decode<EventName, std::uint32_t>("event", "eventId");
    if (!args) return std::unexpected(args.error());
    const auto& [event, id] = *args;
    inv.app().events().unlisten(event.value, id);
    return nullptr;
}

CommandResult emit(Invocation& inv) {
    auto args = inv.decode<EventName, std::optional<Json>>("event", "payload");
    if (!args) return std::unexpected(args.error());
    const auto& [event, payload] = *args;
    inv.app().events().emit(event.value, payload.value_or(nullptr));
    return nullptr;
}

CommandResult emit_to(Invocation& inv) {
    auto args = inv.decode<core::EventTarget, EventName, std::optional<Json>>("target", "event", "payload");
    if (!args) return std::unexpected(args.error());
    const auto& [target, event, payload] = *args;
    auto& events = inv.app().events();
    if (target.kind == "Any") {
        events.emit(event.value, payload.value_or(nullptr));
    } else {
        events.emit_to(target.label, event.value, payload.value_or(nullptr));
    }
    return nullptr;
}

}  // namespace

void register_event_plugin(core::App& app) {
    app.router()
        .plugin("event")
        .add("listen", core::RunOn::main_thread, listen)
        .add("unlisten", core::RunOn::main_thread, unlisten)
        .add("emit", core::RunOn::main_thread, emit)
        .add("emit_to", core::RunOn::main_thread, emit_to);
}

}  // namespace launcher::plugins::event
