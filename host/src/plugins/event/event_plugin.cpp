#include "plugins/event/event_plugin.hpp"

#include "plugins/event/event_args.hpp"

namespace launcher::plugins {

namespace {

using core::CommandResult;
using core::Invocation;

CommandResult listen(Invocation& inv) {
    auto event = inv.arg<EventName>("event");
    if (!event) return std::unexpected(event.error());
    auto target = inv.arg<core::EventTarget>("target");
    if (!target) return std::unexpected(target.error());
    auto handler = inv.arg<std::uint32_t>("handler");
    if (!handler) return std::unexpected(handler.error());
    // Only a page has callbacks to deliver to.
    if (!inv.page()) return std::unexpected(std::string("listen needs a calling page"));
    return inv.app().events().listen(std::move(event->value), std::move(*target), *handler, inv.page());
}

CommandResult unlisten(Invocation& inv) {
    auto event = inv.arg<EventName>("event");
    if (!event) return std::unexpected(event.error());
    auto id = inv.arg<std::uint32_t>("eventId");
    if (!id) return std::unexpected(id.error());
    inv.app().events().unlisten(event->value, *id);
    return nullptr;
}

CommandResult emit(Invocation& inv) {
    auto event = inv.arg<EventName>("event");
    if (!event) return std::unexpected(event.error());
    auto payload = inv.optional<Json>("payload");
    if (!payload) return std::unexpected(payload.error());
    inv.app().events().emit(event->value, payload->value_or(nullptr));
    return nullptr;
}

CommandResult emit_to(Invocation& inv) {
    auto target = inv.arg<core::EventTarget>("target");
    if (!target) return std::unexpected(target.error());
    auto event = inv.arg<EventName>("event");
    if (!event) return std::unexpected(event.error());
    auto payload = inv.optional<Json>("payload");
    if (!payload) return std::unexpected(payload.error());
    auto& events = inv.app().events();
    if (target->kind == "Any") {
        events.emit(event->value, payload->value_or(nullptr));
    } else {
        events.emit_to(target->label, event->value, payload->value_or(nullptr));
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

}  // namespace launcher::plugins
