#include "platform/windows/shell/command_line.hpp"

namespace launcher::platform::windows_shell {

std::string quote_argument(std::string_view argument, std::string_view enclose_for) {
    bool enclose = argument.empty() || argument.find_first_of(enclose_for) != std::string_view::npos;
    std::string out;
    if (enclose) out += '"';
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes only escape when a double quote follows them: double the run and escape
        // the quote; elsewhere they stand for themselves.
        if (c == '"') backslashes = backslashes * 2 + 1;
        out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    // A run before the closing quote would escape it, so it is doubled as well.
    if (enclose) backslashes *= 2;
    out.append(backslashes, '\\');
    if (enclose) out += '"';
    return out;
}

std::string command_line(std::string_view program, const std::vector<std::string>& args) {
    std::string line = quote_argument(program);
    for (const auto& arg : args) line += ' ' + quote_argument(arg);
    return line;
}

}  // namespace launcher::platform::windows_shell
