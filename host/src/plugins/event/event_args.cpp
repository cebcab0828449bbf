#include "plugins/event/event_args.hpp"

#include <algorithm>
#include <array>

namespace launcher::plugins::event {

bool is_valid_event_name(std::string_view name) {
    return !name.empty() && std::ranges::all_of(name, [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '/' ||
               c == ':' || c == '_';
    });
}

}  // namespace launcher::plugins::event

namespace launcher::core {

namespace {

constexpr std::array<std::string_view, 5> labelled_kinds = {"AnyLabel", "App", "Window", "Webview", "WebviewWindow"};

}  // namespace

std::expected<EventTarget, std::string> ArgDecoder<EventTarget>::decode(const Json& v) {
    if (v.is_string()) return EventTarget{"AnyLabel", v.get<std::string>()};
    if (!v.is_object()) return std::unexpected(invalid_type(v, "an event target"));
    auto kind = v.find("kind");
    if (kind == v.end()) return std::unexpected(std::string("missing field `kind`"));
    if (!kind->is_string()) return std::unexpected(invalid_type(*kind, "a target kind"));
    auto name = kind->get<std::string>();
    if (name == "Any") return EventTarget{};
    if (std::ranges::find(labelled_kinds, name) == labelled_kinds.end()) {
        return std::unexpected("unknown variant `" + name +
                               "`, expected one of `Any`, `AnyLabel`, `App`, `Window`, `Webview`, `WebviewWindow`");
    }
    auto label = v.find("label");
    if (label == v.end()) return std::unexpected(std::string("missing field `label`"));
    auto text = ArgDecoder<std::string>::decode(*label);
    if (!text) return std::unexpected(text.error());
    return EventTarget{name, *text};
}

std::expected<plugins::event::EventName, std::string> ArgDecoder<plugins::event::EventName>::decode(const Json& v) {
    auto text = ArgDecoder<std::string>::decode(v);
    if (!text) return std::unexpected(text.error());
    if (!plugins::event::is_valid_event_name(*text)) {
        return std::unexpected("invalid value: string " + v.dump() +
                               ", expected an event name of letters, digits, `-`, `/`, `:` and `_`");
    }
    return plugins::event::EventName{*text};
}

}  // namespace launcher::core
