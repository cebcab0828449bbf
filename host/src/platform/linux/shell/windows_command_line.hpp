#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace launcher::platform::linux_shell {

// Splits a parameter string into arguments the way a Windows program's C runtime does:
// whitespace separates arguments outside double quotes; 2n backslashes before a quote give n
// backslashes and the quote opens or closes a quoted part; 2n+1 give n backslashes and a literal
// quote; "" inside a quoted part is a literal quote; other backslashes stand for themselves.
std::vector<std::string> split_windows_command_line(std::string_view parameters);

}  // namespace launcher::platform::linux_shell
