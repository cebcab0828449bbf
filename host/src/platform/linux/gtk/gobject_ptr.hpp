#pragma once

#include <glib-object.h>

#include <utility>

namespace launcher::platform::gtk {

// Owns one reference to a GObject; releases it when destroyed.
template <class T>
class GObjectPtr {
public:
    GObjectPtr() = default;
    // Takes over a reference the caller already owns (a "transfer full" return value).
    static GObjectPtr adopt(T* object) {
        GObjectPtr p;
        p.object_ = object;
        return p;
    }
    // Adds a reference of its own.
    static GObjectPtr share(T* object) {
        if (object) g_object_ref(object);
        return adopt(object);
    }
    GObjectPtr(GObjectPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GObjectPtr& operator=(GObjectPtr&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    GObjectPtr(const GObjectPtr&) = delete;
    GObjectPtr& operator=(const GObjectPtr&) = delete;
    ~GObjectPtr() { reset(); }

    void reset() {
        if (object_) g_object_unref(std::exchange(object_, nullptr));
    }
    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

}  // namespace launcher::platform::gtk
