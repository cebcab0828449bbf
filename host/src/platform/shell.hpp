#pragma once

#include <expected>
#include <optional>
#include <string>
#include <vector>

namespace launcher::platform {

// The operating system's shell: starting installers and opening URLs outside the launcher.
// Callable from any thread.
class Shell {
public:
    virtual ~Shell() = default;

    // Starts `executable` with a Windows-style parameter string (arguments joined by spaces,
    // quoted by the Windows command-line convention) and does not wait for it. The outcome is
    // deliberately not reported: callers are about to exit and cannot act on it.
    virtual void start(const std::string& executable, const std::string& parameters) = 0;

    // Opens `url` with the desktop's default handler, or with the program named by `with`.
    // Fails with the system's message when the request is not accepted.
    virtual std::expected<void, std::string> open_url(const std::string& url,
                                                      const std::optional<std::string>& with) = 0;

    // Shows each path, which must exist and be absolute, in the desktop's file manager with the
    // item selected (where the file manager cannot select, its folder is opened). Fails with the
    // first path's problem or the system's message.
    virtual std::expected<void, std::string> reveal(const std::vector<std::string>& paths) = 0;
};

// The shell of the platform this host was built for.
Shell& system_shell();

// Starts the running executable again with `args`, each passed as one argument, without
// waiting for it. A path that cannot be determined or a start that fails is ignored: the caller
// ends the process with exit code 0 either way.
void relaunch_current_executable(const std::vector<std::string>& args);

}  // namespace launcher::platform
