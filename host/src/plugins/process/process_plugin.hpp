#pragma once

namespace launcher::core {
class App;
}

namespace launcher::plugins::process {

// `plugin:process|restart` and `plugin:process|exit`: both ask the main loop to run the pre-exit
// clean-up and end; after a restart request the host's run relaunches the executable.
void register_process_plugin(core::App& app);

}  // namespace launcher::plugins::process
