#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "core/args.hpp"
#include "core/events.hpp"

namespace launcher::plugins::event {

// Event names may hold only ASCII letters and digits, "-", "/", ":" and "_" ("tauri://resize").
bool is_valid_event_name(std::string_view name);

// An event name argument, checked for its characters.
struct EventName {
    std::string value;
};

}  // namespace launcher::plugins::event

namespace launcher::core {

// {"kind": "Any"} or {"kind": K, "label": L} with K one of AnyLabel, App, Window, Webview,
// WebviewWindow; a bare string is taken as {"kind": "AnyLabel", "label": string}.
template <>
struct ArgDecoder<EventTarget> {
    static std::expected<EventTarget, std::string> decode(const Json& v);
};

template <>
struct ArgDecoder<plugins::event::EventName> {
    static std::expected<plugins::event::EventName, std::string> decode(const Json& v);
};

}  // namespace launcher::core
