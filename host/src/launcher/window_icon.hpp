#pragma once

#include <cstdint>
#include <span>

namespace launcher {

// The default window icon: 32 x 32 pixels of 8-bit RGBA, compiled in from window_icon.rgba
// (drawn by tools/icons/make_icons.py).
std::span<const std::uint8_t> window_icon_rgba();

}  // namespace launcher
