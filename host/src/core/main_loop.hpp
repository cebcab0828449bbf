#pragma once

#include <functional>

namespace launcher::core {

// The main thread's event loop, which owns every window and web view.
class MainLoop {
public:
    virtual ~MainLoop() = default;
    // Any thread: runs the task on the main thread; tasks run in the order they were posted.
    virtual void post(std::function<void()> task) = 0;
    // Main thread: leaves the loop after the current iteration; the process then exits with code.
    virtual void quit(int code) = 0;
};

}  // namespace launcher::core
