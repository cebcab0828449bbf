#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/json.hpp"
#include "core/page_link.hpp"

namespace launcher::core {

// Who an event is meant for, as a page names it when it listens or emits:
// kind "Any" reaches every listener; otherwise the label names a window (or web view).
struct EventTarget {
    std::string kind = "Any";
    std::string label;
};

// Page listeners of named events. A listener is a page callback; each delivery passes
// {"event": name, "id": listener id, "payload": payload}. Thread-safe.
class EventBus {
public:
    // Returns the listener id the page uses to stop listening.
    std::uint32_t listen(std::string event, EventTarget target, std::uint32_t handler, std::shared_ptr<PageLink> page);
    void unlisten(std::string_view event, std::uint32_t listener_id);

    // To every listener of the event, whatever its target.
    void emit(std::string_view event, const Json& payload);
    // To listeners whose target is "Any" or names this label.
    void emit_to(std::string_view label, std::string_view event, const Json& payload);

    // Drops every listener of a web view's page (it reloaded or closed).
    void forget_page(std::string_view webview_label);

private:
    struct Listener {
        std::uint32_t id;
        std::string event;
        EventTarget target;
        std::uint32_t handler;
        std::shared_ptr<PageLink> page;
    };
    void deliver(std::string_view event, const Json& payload, const std::string* label);

    std::mutex mutex_;
    std::uint32_t next_id_ = 1;
    std::vector<Listener> listeners_;
};

}  // namespace launcher::core
