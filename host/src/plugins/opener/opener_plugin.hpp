#pragma once

#include "platform/shell.hpp"

namespace launcher::core {
class App;
}

namespace launcher::plugins::opener {

// `plugin:opener|open_url` and the link interception script every page runs: qualifying link
// clicks become open_url calls. URLs are checked against the opener scope of the router's
// permission set (scopes["opener"]) at each call, then handed to `shell`. Also
// `plugin:opener|reveal_item_in_dir`, which shows the `paths` in the file manager through `shell`.
void register_opener_plugin(core::App& app, platform::Shell& shell);

}  // namespace launcher::plugins::opener
