#pragma once

// What every fuzz target uses to state a property: a broken property prints what was seen and
// aborts, which libFuzzer reports as a crash and keeps the input that caused it.

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace launcher::fuzz {

inline void require(bool holds, std::string_view what, std::string_view detail = {}) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %.*s\n%.*s\n", static_cast<int>(what.size()), what.data(),
                 static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace launcher::fuzz
