#include "core/events.hpp"

#include <algorithm>

namespace launcher::core {

std::uint32_t EventBus::listen(std::string event, EventTarget target, std::uint32_t handler,
                               std::shared_ptr<PageLink> page) {
    std::lock_guard lock(mutex_);
    auto id = next_id_++;
    listeners_.push_back({id, std::move(event), std::move(target), handler, std::move(page)});
    return id;
}

void EventBus::unlisten(std::string_view event, std::uint32_t listener_id) {
    std::lock_guard lock(mutex_);
    std::erase_if(listeners_, [&](const Listener& l) { return l.id == listener_id && l.event == event; });
}

void EventBus::emit(std::string_view event, const Json& payload) { deliver(event, payload, nullptr); }

void EventBus::emit_to(std::string_view label, std::string_view event, const Json& payload) {
    std::string target(label);
    deliver(event, payload, &target);
}

void EventBus::forget_page(std::string_view webview_label) {
    std::lock_guard lock(mutex_);
    std::erase_if(listeners_, [&](const Listener& l) { return l.page && l.page->webview_label() == webview_label; });
}

void EventBus::deliver(std::string_view event, const Json& payload, const std::string* label) {
    // Collect under the lock, deliver outside it: delivery posts to the main thread.
    std::vector<Listener> matching;
    {
        std::lock_guard lock(mutex_);
        for (const auto& l : listeners_) {
            if (l.event != event) continue;
            if (label && l.target.kind != "Any" && l.target.label != *label) continue;
            matching.push_back(l);
        }
    }
    for (const auto& l : matching) {
        Json message = {{"event", std::string(event)}, {"id", l.id}, {"payload", payload}};
        l.page->deliver(l.handler, message);
    }
}

}  // namespace launcher::core
