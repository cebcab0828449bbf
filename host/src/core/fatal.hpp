#pragma once

#include <string_view>

namespace launcher::core {

// Writes the message to standard error and ends the process at once, without unwinding:
// for conditions that cannot arise in normal operation.
[[noreturn]] void fatal(std::string_view message);

}  // namespace launcher::core
