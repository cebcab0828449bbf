#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "core/json.hpp"

namespace launcher::core {

// Callback runs waiting for one page, gathered into scripts so that deliveries made while
// the main loop is busy reach the page in one evaluation instead of one each. A script runs its
// callbacks in the order they were pushed, and scripts are taken in the order they were opened.
class PageDeliveries {
public:
    // A script stops taking deliveries once it has grown to this many bytes; later ones open the
    // next, so one evaluation never holds the page for long.
    static constexpr std::size_t script_limit = 256 * 1024;

    // Any thread. True when this delivery opened a new script: the caller then schedules exactly
    // one take() for it on the thread that evaluates scripts.
    bool push(std::uint32_t callback_id, const Json& payload);

    // The oldest script, completed and ready to evaluate; one take() matches each push that
    // answered true.
    std::string take();

private:
    std::mutex mutex_;
    std::deque<std::string> scripts_;
};

}  // namespace launcher::core
