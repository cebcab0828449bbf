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
        if (!waiting_.empty() && waiting_.back().data() + waiting_.back().size() == bytes.data()) {
            waiting_.back() = {waiting_.back().data(), waiting_.back().size() + bytes.size()};
        } else {
            waiting_.push_back(bytes);
        }
        // A sink still at work looks for more before it sleeps, so only an idle one needs a
        // wake-up, and only once: when this piece made the waiting bytes a batch.
        woke = !busy_ && waiting_bytes_ < batch_bytes && waiting_bytes_ + bytes.size() >= batch_bytes;
        waiting_bytes_ += bytes.size();
    }
    if (woke) changed_.notify_all();
}

void SinkThread::wait() {
    std::unique_lock lock(mutex_);
    draining_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return waiting_.empty() && !busy_; });
    draining_ = false;
}

void SinkThread::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(
            lock, [this] { return closing_ || (!waiting_.empty() && (draining_ || waiting_bytes_ >= batch_bytes)); });
        if (waiting_.empty()) return;
        auto bytes = waiting_.front();
        waiting_.pop_front();
        waiting_bytes_ -= bytes.size();
        busy_ = true;
        lock.unlock();
        sink_(bytes);
        lock.lock();
        busy_ = false;
        if (waiting_.empty()) changed_.notify_all();
    }
}

}  // namespace launcher::plugins::updater
