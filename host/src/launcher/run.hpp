#pragma once

namespace launcher {

// Builds the launcher (state, plugins, commands, context), runs the event loop until the
// process is asked to end, and returns the exit code. Fatal start-up errors end the process.
int run(int argc, char** argv);

}  // namespace launcher
