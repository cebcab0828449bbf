#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace launcher::core {

// A fixed set of worker threads running posted tasks first in, first out. Asynchronous
// commands and background start-up work run here, never on the main thread.
class ThreadPool {
public:
    explicit ThreadPool(unsigned threads);
    ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    // Any thread. Tasks posted after shutdown() are dropped.
    void post(std::function<void()> task);

    // Finishes the tasks already queued, then joins every worker. Idempotent.
    void shutdown();

private:
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace launcher::core
