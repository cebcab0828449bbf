#include "platform/linux/shell/windows_command_line.hpp"

namespace launcher::platform::linux_shell {

std::vector<std::string> split_windows_command_line(std::string_view text) {
    std::vector<std::string> arguments;
    std::string current;
    bool in_argument = false;  // an argument has begun, even if it is still empty ("")
    bool quoted = false;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            if (in_argument) arguments.push_back(std::move(current));
            current.clear();
            in_argument = false;
            ++i;
            continue;
        }
        in_argument = true;
        if (c == '\\') {
            std::size_t run = 0;
            while (i < text.size() && text[i] == '\\') ++run, ++i;
            if (i < text.size() && text[i] == '"') {
                current.append(run / 2, '\\');
                if (run % 2 == 1) {
                    current += '"';
                    ++i;
                }
            } else {
                current.append(run, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                current += '"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current += c;
        ++i;
    }
    if (in_argument) arguments.push_back(std::move(current));
    return arguments;
}

}  // namespace launcher::platform::linux_shell
