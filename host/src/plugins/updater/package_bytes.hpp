#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace launcher::plugins::updater {

// A downloaded package's bytes in one block. Room for a declared length is set aside once; without
// one the block grows in bounded steps through realloc, which moves a large block by remapping its
// pages instead of copying them, so memory stays close to what was received instead of holding an
// old and a new copy, or twice the room, as a doubling vector would.
class PackageBytes {
public:
    PackageBytes() = default;
    ~PackageBytes();
    PackageBytes(PackageBytes&& other) noexcept;
    PackageBytes& operator=(PackageBytes&& other) noexcept;
    PackageBytes(const PackageBytes&) = delete;
    PackageBytes& operator=(const PackageBytes&) = delete;

    // Room for `bytes` in all; false when the memory cannot be had.
    bool reserve(std::size_t bytes);
    // Whether `bytes` more fit in the room set aside, so that appending them leaves the block
    // where it is.
    bool fits(std::size_t bytes) const { return bytes <= capacity_ - size_; }
    // False when the memory for it cannot be had; the bytes held so far stay.
    bool append(std::string_view chunk);

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    const std::uint8_t* begin() const { return data_; }
    const std::uint8_t* end() const { return data_ + size_; }
    std::span<const std::uint8_t> span() const { return {data_, size_}; }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace launcher::plugins::updater
