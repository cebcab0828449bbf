#include "core/thread_pool.hpp"

namespace launcher::core {

ThreadPool::ThreadPool(unsigned threads) {
    if (threads == 0) threads = 1;
    workers_.reserve(threads);
    for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this] { work(); });
}

ThreadPool::~ThreadPool() { shutdown(); }

void ThreadPool::post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        queue_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void ThreadPool::shutdown() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& worker : workers_) {
        if (worker.joinable()) worker.join();
    }
    workers_.clear();
}

void ThreadPool::work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        task();
    }
}

ThreadPerTask::~ThreadPerTask() { shutdown(); }

void ThreadPerTask::post(std::function<void()> task) {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    join_finished_locked();
    auto id = next_id_++;
    running_.emplace(id, std::thread([this, id, task = std::move(task)] {
                         task();
                         std::lock_guard done(mutex_);
                         finished_.push_back(id);
                     }));
}

void ThreadPerTask::shutdown() {
    std::map<std::uint64_t, std::thread> running;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        running.swap(running_);
        finished_.clear();
    }
    for (auto& [id, thread] : running) thread.join();
}

// A finished task's thread has only its last unlock left to run, so joining it here is quick.
void ThreadPerTask::join_finished_locked() {
    for (auto id : finished_) {
        if (auto it = running_.find(id); it != running_.end()) {
            it->second.join();
            running_.erase(it);
        }
    }
    finished_.clear();
}

}  // namespace launcher::core
