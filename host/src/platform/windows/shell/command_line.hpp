#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace launcher::platform::windows_shell {

// One argument quoted so that a Windows program's C runtime (and CommandLineToArgvW) reads it
// back unchanged: enclosed in double quotes when it is empty or holds any character of
// `enclose_for` (space or tab by default), backslashes doubled only where a double quote follows
// them, and each double quote escaped. Kept free of Windows headers, so every build tests it.
std::string quote_argument(std::string_view argument, std::string_view enclose_for = " \t");

// The command line that starts `program` with `args`: each quoted as above, joined by spaces.
std::string command_line(std::string_view program, const std::vector<std::string>& args);

}  // namespace launcher::platform::windows_shell
