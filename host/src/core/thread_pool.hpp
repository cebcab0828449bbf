#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
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

// Runs each posted task on a thread of its own, for tasks that spend their time waiting on a
// peer (network transfers): however long a slow server keeps one waiting, it holds none of the
// pool's workers, which the other asynchronous commands need. Threads whose task has ended are
// joined by the next post and by shutdown().
class ThreadPerTask {
public:
    ThreadPerTask() = default;
    ~ThreadPerTask();
    ThreadPerTask(const ThreadPerTask&) = delete;
    ThreadPerTask& operator=(const ThreadPerTask&) = delete;

    // Any thread. Tasks posted after shutdown() are dropped.
    void post(std::function<void()> task);

    // Waits for the running tasks to end and joins their threads. Idempotent.
    void shutdown();

private:
    void join_finished_locked();

    std::mutex mutex_;
    bool stopping_ = false;
    std::uint64_t next_id_ = 0;
    std::map<std::uint64_t, std::thread> running_;
    std::vector<std::uint64_t> finished_;
};

}  // namespace launcher::core
