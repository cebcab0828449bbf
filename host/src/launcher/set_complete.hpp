#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "core/app.hpp"
#include "launcher/setup_state.hpp"

namespace launcher {

// The set_complete operation, shared by the command and the backend start-up task. An invalid
// task is reported on standard error and answered with the error; nothing changes.
std::expected<void, std::string> set_complete(core::App& app, SetupState& state, std::string_view task);

// Closes the splash window and shows the main window, on the main thread. A window that is
// already gone is skipped.
void hand_off_splash(core::App& app);

}  // namespace launcher
