#pragma once

#include <atomic>
#include <cstdint>
#include <expected>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace launcher::core {

// Anything a command leaves behind for later commands (an update record, a downloaded package).
class Resource {
public:
    virtual ~Resource() = default;
};

std::string invalid_resource_message(std::uint32_t rid);

// Objects behind 32-bit ids. Ids are unique across every table of the process. Thread-safe:
// the lock is held for one lookup or update only.
class ResourceTable {
public:
    std::uint32_t add(std::shared_ptr<Resource> resource);

    // The resource under rid if it exists and is a T; otherwise "The resource id {rid} is invalid."
    template <class T>
    std::expected<std::shared_ptr<T>, std::string> get(std::uint32_t rid) const {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(rid);
        if (it != entries_.end()) {
            if (auto typed = std::dynamic_pointer_cast<T>(it->second)) return typed;
        }
        return std::unexpected(invalid_resource_message(rid));
    }

    // Removes the entry; an unknown id fails with the invalid-id message.
    std::expected<void, std::string> close(std::uint32_t rid);

    // Removes the entry only if it holds a T; otherwise fails and leaves the table unchanged.
    template <class T>
    std::expected<std::shared_ptr<T>, std::string> take(std::uint32_t rid) {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(rid);
        if (it != entries_.end()) {
            if (auto typed = std::dynamic_pointer_cast<T>(it->second)) {
                entries_.erase(it);
                return typed;
            }
        }
        return std::unexpected(invalid_resource_message(rid));
    }

    // Releases every entry (the pre-exit clean-up).
    void clear();
    std::size_t size() const;

private:
    mutable std::mutex mutex_;
    std::map<std::uint32_t, std::shared_ptr<Resource>> entries_;
};

}  // namespace launcher::core
