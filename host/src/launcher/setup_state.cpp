#include "launcher/setup_state.hpp"

namespace launcher {

std::expected<void, std::string> SetupState::complete(std::string_view task, const std::function<void()>& hand_off) {
    std::lock_guard lock(mutex_);
    bool was_complete = frontend_done_ && backend_done_;
    if (task == "frontend") {
        frontend_done_ = true;
    } else if (task == "backend") {
        backend_done_ = true;
    } else {
        return std::unexpected(std::string("invalid task completed!"));
    }
    // Only the report that sets the second flag hands off; repeats after that change nothing.
    if (!was_complete && frontend_done_ && backend_done_) hand_off();
    return {};
}

bool SetupState::frontend_done() const {
    std::lock_guard lock(mutex_);
    return frontend_done_;
}

bool SetupState::backend_done() const {
    std::lock_guard lock(mutex_);
    return backend_done_;
}

}  // namespace launcher
