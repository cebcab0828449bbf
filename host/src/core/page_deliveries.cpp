#include "core/page_deliveries.hpp"

namespace launcher::core {

namespace {

// `runCallback` reports a callback's exception instead of throwing it, so one failing callback
// does not cost the page the deliveries after it in the same script.
constexpr std::string_view script_head = "{const run=window.__TAURI_INTERNALS__.runCallback;";
constexpr std::string_view script_tail = "}";

}  // namespace

bool PageDeliveries::push(std::uint32_t callback_id, const Json& payload) {
    // Serialised before the lock is taken, so other threads' deliveries do not wait on it.
    auto call = "run(" + std::to_string(callback_id) + "," + to_compact(payload) + ");";
    std::lock_guard lock(mutex_);
    bool opened = scripts_.empty() || scripts_.back().size() >= script_limit;
    if (opened) scripts_.emplace_back(script_head);
    scripts_.back() += call;
    return opened;
}

std::string PageDeliveries::take() {
    std::string script;
    {
        std::lock_guard lock(mutex_);
        if (scripts_.empty()) return script;
        script = std::move(scripts_.front());
        scripts_.pop_front();
    }
    script += script_tail;
    return script;
}

}  // namespace launcher::core
