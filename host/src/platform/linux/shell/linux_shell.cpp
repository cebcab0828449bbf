#include <gio/gio.h>

#include <filesystem>
#include <memory>

#include "platform/linux/shell/windows_command_line.hpp"
#include "platform/shell.hpp"

namespace launcher::platform {

namespace {

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using Error = std::unique_ptr<GError, ErrorFree>;

// Starts argv[0] with the rest as its arguments; the child is not waited for (GLib reaps it).
std::expected<void, std::string> spawn(const std::vector<std::string>& argv) {
    std::vector<char*> raw;
    for (const auto& arg : argv) raw.push_back(const_cast<char*>(arg.c_str()));
    raw.push_back(nullptr);
    GError* error = nullptr;
    if (!g_spawn_async(nullptr, raw.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &error)) {
        Error owned(error);
        return std::unexpected(std::string(owned->message));
    }
    return {};
}

class LinuxShell final : public Shell {
public:
    // The installer gets the arguments a Windows program would parse from the same string.
    void start(const std::string& executable, const std::string& parameters) override {
        std::vector<std::string> argv{executable};
        for (auto& arg : linux_shell::split_windows_command_line(parameters)) argv.push_back(std::move(arg));
        (void)spawn(argv);
    }

    std::expected<void, std::string> open_url(const std::string& url, const std::optional<std::string>& with) override {
        if (with) return spawn({*with, url});
        GError* error = nullptr;
        if (!g_app_info_launch_default_for_uri(url.c_str(), nullptr, &error)) {
            Error owned(error);
            return std::unexpected(std::string(owned->message));
        }
        return {};
    }

    // The file manager's D-Bus interface selects the items; without one on the session bus, each
    // item's folder goes to the default handler for folders.
    std::expected<void, std::string> reveal(const std::vector<std::string>& paths) override {
        std::vector<std::string> uris;
        for (const auto& path : paths) {
            std::error_code missing;
            if (!std::filesystem::exists(path, missing)) return std::unexpected("path does not exist: " + path);
            GError* error = nullptr;
            auto* uri = g_filename_to_uri(path.c_str(), nullptr, &error);
            if (!uri) {
                Error owned(error);
                return std::unexpected(std::string(owned->message));
            }
            uris.emplace_back(uri);
            g_free(uri);
        }
        if (show_items(uris)) return {};
        for (const auto& path : paths) {
            auto folder = std::filesystem::path(path).parent_path();
            GError* error = nullptr;
            auto* uri = g_filename_to_uri(folder.c_str(), nullptr, &error);
            if (uri && g_app_info_launch_default_for_uri(uri, nullptr, &error)) {
                g_free(uri);
                continue;
            }
            g_free(uri);
            Error owned(error);
            return std::unexpected(std::string(owned->message));
        }
        return {};
    }

private:
    static bool show_items(const std::vector<std::string>& uris) {
        auto* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
        if (!bus) return false;
        GVariantBuilder items;
        g_variant_builder_init(&items, G_VARIANT_TYPE("as"));
        for (const auto& uri : uris) g_variant_builder_add(&items, "s", uri.c_str());
        auto* answer = g_dbus_connection_call_sync(
            bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1",
            "ShowItems", g_variant_new("(ass)", &items, ""), nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
        g_object_unref(bus);
        if (!answer) return false;
        g_variant_unref(answer);
        return true;
    }
};

}  // namespace

Shell& system_shell() {
    static LinuxShell shell;
    return shell;
}

void relaunch_current_executable(const std::vector<std::string>& args) {
    std::error_code error;
    auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return;
    std::vector<std::string> argv{executable.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    (void)spawn(argv);
}

}  // namespace launcher::platform
