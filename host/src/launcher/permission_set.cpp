#include "launcher/permission_set.hpp"

#include <string_view>

namespace launcher {

namespace {

// Plugin name and the commands of it the main window may call. The launcher's own commands
// (set_complete, list_gpus) are not listed: they are never checked.
struct Grant {
    std::string_view plugin;
    std::vector<std::string_view> commands;
};

const Grant main_window_grants[] = {
    {"app",
     {"bundle_type", "identifier", "name", "register_listener", "remove_listener", "supports_multiple_windows",
      "tauri_version", "version"}},
    {"event", {"emit", "emit_to", "listen", "unlisten"}},
    {"image", {"from_bytes", "from_path", "new", "rgba", "size"}},
    {"menu",
     {"append",
      "create_default",
      "get",
      "insert",
      "is_checked",
      "is_enabled",
      "items",
      "new",
      "popup",
      "prepend",
      "remove",
      "remove_at",
      "set_accelerator",
      "set_as_app_menu",
      "set_as_help_menu_for_nsapp",
      "set_as_window_menu",
      "set_as_windows_menu_for_nsapp",
      "set_checked",
      "set_enabled",
      "set_icon",
      "set_text",
      "text"}},
    {"path", {"basename", "dirname", "extname", "is_absolute", "join", "normalize", "resolve", "resolve_directory"}},
    {"resources", {"close"}},
    {"tray",
     {"get_by_id", "new", "remove_by_id", "set_icon", "set_icon_as_template", "set_icon_with_as_template", "set_menu",
      "set_show_menu_on_left_click", "set_temp_dir_path", "set_title", "set_tooltip", "set_visible"}},
    {"webview", {"get_all_webviews", "internal_toggle_devtools", "webview_position", "webview_size"}},
    // The window getters, plus the four actions the page's own title bar needs. No setter is granted.
    {"window",
     {"activity_name",
      "available_monitors",
      "current_monitor",
      "cursor_position",
      "get_all_windows",
      "inner_position",
      "inner_size",
      "internal_toggle_maximize",
      "is_always_on_top",
      "is_closable",
      "is_decorated",
      "is_enabled",
      "is_focused",
      "is_fullscreen",
      "is_maximizable",
      "is_maximized",
      "is_minimizable",
      "is_minimized",
      "is_resizable",
      "is_visible",
      "monitor_from_point",
      "outer_position",
      "outer_size",
      "primary_monitor",
      "scale_factor",
      "scene_identifier",
      "theme",
      "title",
      "close",
      "minimize",
      "start_dragging",
      "toggle_maximize"}},
    {"opener", {"open_url", "reveal_item_in_dir"}},
    // Every os fact except the host name.
    {"os", {"arch", "exe_extension", "family", "locale", "os_type", "platform", "version"}},
    {"process", {"exit", "restart"}},
    {"system-info", {"cpu_info", "memory_info"}},
    {"updater", {"check", "download", "download_and_install", "install"}},
    // Granted although no log plugin is registered: such a call passes the check and then fails.
    {"log", {"log"}},
};

const UnservedGrant unserved[] = {
    {"app", {"register_listener", "remove_listener"}, "listeners of mobile back-button events; a desktop has none"},
    {"image", {}, "the window icon is compiled in and no page builds images"},
    {"menu", {}, "the main page draws its own title bar; the launcher has no native menus"},
    {"tray", {}, "the launcher shows no tray icon"},
    {"path",
     {"resolve", "resolve_directory"},
     "they read the working directory or the user's folders, and pages never touch the file system"},
    {"webview", {"internal_toggle_devtools"}, "the shipped launcher carries no developer tools"},
    {"window", {"activity_name", "scene_identifier"}, "mobile activity and scene names, meaningless on a desktop"},
    {"os",
     {"arch", "exe_extension", "family", "os_type", "platform", "version"},
     "pages read these facts from the injected platform script; only the locale is asked afresh"},
    {"log", {}, "the launcher writes no log, so no log plugin is registered"},
};

}  // namespace

std::span<const UnservedGrant> unserved_grants() { return unserved; }

core::PermissionSet launcher_permission_set() {
    core::PermissionSet set;
    const core::PermissionEntry main_window_local{.windows = {"main"}, .local_only = true};
    for (const auto& [plugin, commands] : main_window_grants) {
        for (auto command : commands) {
            auto key = "plugin:" + std::string(plugin) + "|" + std::string(command);
            set.granted[key].push_back(main_window_local);
        }
    }

    // The links a page may open in the system's browser or mail and phone programs.
    auto allow = Json::array();
    for (auto pattern : {"mailto:*", "tel:*", "http://*", "https://*"}) allow.push_back({{"url", pattern}});
    set.scopes["opener"] = {{"allow", std::move(allow)}, {"deny", Json::array()}};
    return set;
}

}  // namespace launcher
