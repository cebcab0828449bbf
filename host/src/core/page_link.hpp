#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/json.hpp"

namespace launcher::core {

// The host's way back into one web view's page: runs a callback the page registered with
// `transformCallback`. Callable from any thread; deliveries arrive in the order they were made.
// After the view is gone, or has navigated away, deliveries are dropped.
class PageLink {
public:
    virtual ~PageLink() = default;
    virtual void deliver(std::uint32_t callback_id, const Json& payload) = 0;
    virtual const std::string& webview_label() const = 0;
};

// A command argument through which the host sends an ordered sequence of messages to the page.
// On the wire it is the text "__CHANNEL__:" followed by the page callback's number.
class Channel {
public:
    Channel(std::shared_ptr<PageLink> page, std::uint32_t id) : page_(std::move(page)), id_(id) {}
    void send(const Json& message) const {
        if (page_) page_->deliver(id_, message);
    }
    std::uint32_t id() const { return id_; }

private:
    std::shared_ptr<PageLink> page_;
    std::uint32_t id_;
};

}  // namespace launcher::core
