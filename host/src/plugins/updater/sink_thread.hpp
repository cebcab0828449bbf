#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <thread>

namespace launcher::plugins::updater {

// Runs a byte sink (a signature's pre-hash) on a thread of its own, so that its work overlaps the
// receiving of the next bytes instead of adding to it. The sink sees the spans it is handed, in
// order; a span's bytes must stay where they are until wait() has returned (or the object is gone).
// The sink must not throw: nothing on its thread could take the exception.
//
// An idle sink is woken only once `batch_bytes` are waiting, or by wait(): a download hands over
// every piece it receives (16 KiB TLS records), and waking the thread for each cost two system
// calls and two context switches a piece.
class SinkThread {
public:
    using Sink = std::function<void(std::span<const std::uint8_t> bytes)>;
    static constexpr std::size_t batch_bytes = 1024 * 1024;

    explicit SinkThread(Sink sink);
    // Waits for the sink to take everything handed to it, then ends the thread.
    ~SinkThread();
    SinkThread(const SinkThread&) = delete;
    SinkThread& operator=(const SinkThread&) = delete;

    // The next bytes for the sink. A span that continues the last one still waiting joins it, so
    // the sink takes larger pieces when it falls behind.
    void hand(std::span<const std::uint8_t> bytes);
    // Returns once the sink has taken every span handed so far; their bytes may then move.
    void wait();

private:
    void run();

    Sink sink_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::span<const std::uint8_t>> waiting_;
    std::size_t waiting_bytes_ = 0;
    bool busy_ = false;
    // Set by wait() and the destructor: the sink takes what is waiting, however little.
    bool draining_ = false;
    bool closing_ = false;
    std::thread thread_;
};

}  // namespace launcher::plugins::updater
