#include "launcher/window_icon.hpp"

namespace launcher {

namespace {
constexpr std::uint8_t pixels[] = {
#include "launcher/window_icon_bytes.inc"
};
static_assert(sizeof pixels == 32 * 32 * 4);
}  // namespace

std::span<const std::uint8_t> window_icon_rgba() { return pixels; }

}  // namespace launcher
