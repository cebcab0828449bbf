#pragma once

#include "core/app.hpp"

namespace launcher::plugins::event {

// Plugin "event": pages listen to and stop listening to named events (listen, unlisten) and
// send events to every listener or to one window's (emit, emit_to), over the app's EventBus.
void register_event_plugin(core::App& app);

}  // namespace launcher::plugins::event
