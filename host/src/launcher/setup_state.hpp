#pragma once

#include <expected>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace launcher {

// Which of the two start-up tasks have reported. The main window stays hidden until both have;
// the report that completes the pair performs the splash hand-off, exactly once.
class SetupState {
public:
    // Records the task ("frontend" or "backend", compared byte for byte) and, if this report
    // completes the pair, calls hand_off while the lock is held. hand_off must only post work.
    // Any other task changes nothing and fails with "invalid task completed!".
    std::expected<void, std::string> complete(std::string_view task, const std::function<void()>& hand_off);

    bool frontend_done() const;
    bool backend_done() const;

private:
    mutable std::mutex mutex_;
    bool frontend_done_ = false;
    bool backend_done_ = false;
};

}  // namespace launcher
