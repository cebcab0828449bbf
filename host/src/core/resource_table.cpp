#include "core/resource_table.hpp"

namespace launcher::core {

namespace {
std::atomic<std::uint32_t> next_rid{1};
}

std::string invalid_resource_message(std::uint32_t rid) {
    return "The resource id " + std::to_string(rid) + " is invalid.";
}

std::uint32_t ResourceTable::add(std::shared_ptr<Resource> resource) {
    auto rid = next_rid.fetch_add(1);
    std::lock_guard lock(mutex_);
    entries_.emplace(rid, std::move(resource));
    return rid;
}

std::expected<void, std::string> ResourceTable::close(std::uint32_t rid) {
    std::shared_ptr<Resource> released;
    {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(rid);
        if (it == entries_.end()) return std::unexpected(invalid_resource_message(rid));
        released = std::move(it->second);
        entries_.erase(it);
    }
    return {};
}

void ResourceTable::clear() {
    std::map<std::uint32_t, std::shared_ptr<Resource>> released;
    {
        std::lock_guard lock(mutex_);
        released.swap(entries_);
    }
}

std::size_t ResourceTable::size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

}  // namespace launcher::core
