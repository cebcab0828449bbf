#include "launcher/run.hpp"

#include <pthread.h>
#include <sodium.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <thread>

#include "assets/asset_resolver.hpp"
#include "core/fatal.hpp"
#include "installer/hand_off.hpp"
#include "launcher/build_config.hpp"
#include "launcher/host_plugins.hpp"
#include "launcher/launcher_commands.hpp"
#include "launcher/manifest.hpp"
#include "launcher/permission_set.hpp"
#include "launcher/set_complete.hpp"
#include "launcher/setup_state.hpp"
#include "platform/shell.hpp"
#include "platform/system_probe.hpp"
#include "plugins/opener/opener_plugin.hpp"
#include "plugins/os/os_plugin.hpp"
#include "plugins/system_info/system_info_plugin.hpp"
#include "plugins/updater/bundle_type.hpp"
#include "plugins/updater/updater_plugin.hpp"

namespace launcher {

namespace {

// What the event loop is started with: built once, off the main thread.
struct Context {
    platform::DesktopConfig desktop;
    core::PermissionSet permissions;
};

Context build_context() {
    const auto& m = manifest();
    Context context;
    context.desktop.identifier = m.app.identifier;
    context.desktop.windows = m.windows;
    context.desktop.automated_window = "main";
    context.desktop.content = [](std::string_view path) -> std::expected<platform::Content, std::string> {
        auto asset = assets::resolve_asset(path);
        if (!asset) return std::unexpected(asset.error());
        return platform::Content{std::move(asset->mime_type), std::move(asset->body)};
    };
    context.desktop.icon_rgba.assign(m.window_icon.begin(), m.window_icon.end());
    context.desktop.icon_size = m.window_icon_size;
    context.permissions = launcher_permission_set();
    return context;
}

// Builds the context on its own thread with an 8 MiB stack and waits for it.
Context build_context_on_thread() {
    constexpr std::size_t stack_size = 8388608;
    struct Job {
        Context context;
    } job;
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stack_size);
    pthread_t thread;
    auto body = [](void* data) -> void* {
        // Linux keeps 15 characters of a thread's name.
        pthread_setname_np(pthread_self(), "generated tauri");
        static_cast<Job*>(data)->context = build_context();
        return nullptr;
    };
    int started = pthread_create(&thread, &attributes, body, &job);
    pthread_attr_destroy(&attributes);
    if (started != 0) core::fatal("unable to create thread with 8MiB stack");
    pthread_join(thread, nullptr);
    return std::move(job.context);
}

// The backend's own start-up work, on a worker: it reports at once.
void backend_setup_task(core::App& app) {
    std::fputs("Performing really heavy backend setup task...\n", stdout);
    std::fputs("Backend setup task completed!\n", stdout);
    std::fflush(stdout);
    (void)set_complete(app, *app.state().find<SetupState>(), "backend");
}

// How this executable was packaged, as the page's app API names it; none for an unknown marker.
std::optional<std::string> packaging_kind() {
    auto bundle = plugins::updater::bundle_type_from_marker(plugins::updater::compiled_bundle_marker());
    if (bundle == plugins::updater::BundleType::unknown) return std::nullopt;
    return std::string(plugins::updater::installer_name(bundle));
}

// The host's built-in command groups first, then the launcher's plugins in the order they
// initialise.
void register_plugins(core::App& app) {
    register_host_plugins(app, packaging_kind());
    app.state().manage<installer::InstallerShell>(platform::system_shell());
    const auto& entry = manifest().updater;
    auto updater_config =
        plugins::updater::parse_updater_config({{"endpoints", entry.endpoints}, {"pubkey", entry.pubkey}});
    if (!updater_config) core::fatal("error while running tauri application: " + updater_config.error());
    plugins::updater::UpdaterState updater_state;
    updater_state.config = std::move(*updater_config);
    updater_state.http.extra_ca_file = build_config::extra_ca_file;
    updater_state.hand_off_host = installer::hand_off_host;
    plugins::updater::register_updater_plugin(app, std::move(updater_state));
    plugins::os::register_os_plugin(app, platform::make_os_probe());
    plugins::system_info::register_system_info_plugin(app, platform::make_system_probe());
    plugins::opener::register_opener_plugin(app, platform::system_shell());
}

}  // namespace

int run(int argc, char** argv) {
    if (sodium_init() < 0) core::fatal("error while running tauri application: libsodium failed to initialise");
    auto desktop = platform::Desktop::connect();
    if (!desktop) core::fatal("error while running tauri application: " + desktop.error());

    const auto& m = manifest();
    core::App app(m.app, **desktop, std::max(2u, std::thread::hardware_concurrency()));
    app.set_relaunch_args({argv + std::min(argc, 1), argv + argc});
    app.state().manage<SetupState>();
    register_plugins(app);
    register_launcher_commands(app);

    auto context = build_context_on_thread();
    app.router().set_permissions(std::move(context.permissions));
    int code =
        (*desktop)->run(app, context.desktop, [&app] { app.workers().post([&app] { backend_setup_task(app); }); });
    app.shutdown();
    if (app.restart_requested()) {
        platform::relaunch_current_executable(app.relaunch_args());
        return 0;
    }
    return code;
}

}  // namespace launcher
