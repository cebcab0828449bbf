#pragma once

#include <memory>
#include <mutex>
#include <typeindex>
#include <unordered_map>

#include "core/fatal.hpp"

namespace launcher::core {

// Managed state: one value per type, registered once at start-up and looked up by its type
// for the life of the process. Each value guards its own mutable fields.
class StateManager {
public:
    // Registers the value; registering a type twice is a programming error and fatal.
    template <class T, class... Args>
    T& manage(Args&&... args) {
        std::lock_guard lock(mutex_);
        auto [it, inserted] = values_.try_emplace(std::type_index(typeid(T)));
        if (!inserted) fatal(std::string("state registered twice: ") + typeid(T).name());
        auto value = std::make_shared<T>(std::forward<Args>(args)...);
        T& ref = *value;
        it->second = std::move(value);
        return ref;
    }

    // The registered value, or nullptr when the type was never registered.
    template <class T>
    T* find() const {
        std::lock_guard lock(mutex_);
        auto it = values_.find(std::type_index(typeid(T)));
        if (it == values_.end()) return nullptr;
        return std::static_pointer_cast<T>(it->second).get();
    }

private:
    mutable std::mutex mutex_;
    std::unordered_map<std::type_index, std::shared_ptr<void>> values_;
};

}  // namespace launcher::core
