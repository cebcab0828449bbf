#include "plugins/updater/package_bytes.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/memory.hpp"

namespace launcher::plugins::updater {

namespace {

// Growth without a declared length: doubling while the block is small, then this much at a time,
// so the room beyond what was received never exceeds it.
constexpr std::size_t max_growth_step = 16 * 1024 * 1024;
constexpr std::size_t min_capacity = 64 * 1024;
// A block this large is advised to use large pages: filling it then costs a few dozen page faults
// instead of thousands (a 100 MB package's faults were most of the CPU its download spent beside
// TLS and the pre-hash). A smaller one could hold at most one large page.
constexpr std::size_t large_page_advice_bytes = 4 * 1024 * 1024;

}  // namespace

PackageBytes::~PackageBytes() { std::free(data_); }

PackageBytes::PackageBytes(PackageBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

PackageBytes& PackageBytes::operator=(PackageBytes&& other) noexcept {
    if (this != &other) {
        std::free(data_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

bool PackageBytes::reserve(std::size_t bytes) {
    if (bytes <= capacity_) return true;
    auto* grown = static_cast<std::uint8_t*>(std::realloc(data_, bytes));
    if (!grown) return false;
    data_ = grown;
    capacity_ = bytes;
    if (bytes >= large_page_advice_bytes) platform::advise_large_pages(data_, capacity_);
    return true;
}

bool PackageBytes::append(std::string_view chunk) {
    if (chunk.empty()) return true;
    if (!fits(chunk.size())) {
        std::size_t needed = size_ + chunk.size();
        if (needed < size_) return false;
        std::size_t step = std::clamp(needed, min_capacity, max_growth_step);
        if (!reserve(needed + step) && !reserve(needed)) return false;
    }
    std::memcpy(data_ + size_, chunk.data(), chunk.size());
    size_ += chunk.size();
    return true;
}

}  // namespace launcher::plugins::updater
