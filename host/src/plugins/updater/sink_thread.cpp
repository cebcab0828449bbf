#include "plugins/updater/sink_thread.hpp"

#include <utility>

namespace launcher::plugins::updater {

SinkThread::SinkThread(Sink sink) : sink_(std::move(sink)), thread_([this] { run(); }) {}

SinkThread::~SinkThread() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void SinkThread::hand(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;
    bool woke;
    {
        std::lock_guard lock(mutex_);
        woke = waiting_.empty() && !busy_;
        if (!waiting_.empty() && waiting_.back().data() + waiting_.back().size() == bytes.data()) {
            waiting_.back() = {waiting_.back().data(), waiting_.back().size() + bytes.size()};
        } else {
            waiting_.push_back(bytes);
        }
    }
    // A sink still at work looks for more before it sleeps, so only an idle one needs a wake-up.
    if (woke) changed_.notify_all();
}

void SinkThread::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.empty() && !busy_; });
}

void SinkThread::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return closing_ || !waiting_.empty(); });
        if (waiting_.empty()) return;
        auto bytes = waiting_.front();
        waiting_.pop_front();
        busy_ = true;
        lock.unlock();
        sink_(bytes);
        lock.lock();
        busy_ = false;
        if (waiting_.empty()) changed_.notify_all();
    }
}

}  // namespace launcher::plugins::updater
