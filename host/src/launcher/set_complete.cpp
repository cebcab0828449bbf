#include "launcher/set_complete.hpp"

#include <cstdio>

namespace launcher {

void hand_off_splash(core::App& app) {
    app.loop().post([&app] {
        if (auto* splash = app.find_window("splashscreen")) splash->close();
        if (auto* main = app.find_window("main")) main->show();
    });
}

std::expected<void, std::string> set_complete(core::App& app, SetupState& state, std::string_view task) {
    auto done = state.complete(task, [&app] { hand_off_splash(app); });
    if (!done) {
        std::fprintf(stderr, "%s\n", done.error().c_str());
        std::fflush(stderr);
    }
    return done;
}

}  // namespace launcher
