#include <gtest/gtest.h>
#include <jsc/jsc.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/app.hpp"
#include "platform/system_probe.hpp"
#include "platform/windows/system/windows_figures.hpp"
#include "plugins/os/os_plugin.hpp"

namespace launcher::plugins::os {
namespace {

// A bare JavaScriptCore context standing in for a page: `window` is its global object.
class Page {
public:
    Page() : context_(jsc_context_new()) { run("var window = globalThis;"); }
    ~Page() { g_object_unref(context_); }

    // The script's completion value as JSON text ("undefined" when it has none, "unserialisable"
    // for the global object), or "exception: <message>" when the script threw.
    std::string run(const std::string& code) {
        JSCValue* value = jsc_context_evaluate(context_, code.c_str(), static_cast<gssize>(code.size()));
        std::string out;
        if (JSCException* exception = jsc_context_get_exception(context_)) {
            out = std::string("exception: ") + jsc_exception_get_message(exception);
            jsc_context_clear_exception(context_);
        } else if (jsc_value_is_undefined(value)) {
            out = "undefined";
        } else if (char* json = jsc_value_to_json(value, 0)) {
            out = json;
            g_free(json);
        } else {
            out = "unserialisable";
            jsc_context_clear_exception(context_);
        }
        g_object_unref(value);
        return out;
    }

private:
    JSCContext* context_;
};

platform::OsFacts facts_json_order(const Json& json) {
    return {json["eol"],     json["os_type"], json["platform"],     json["family"],
            json["version"], json["arch"],    json["exe_extension"]};
}

TEST(OsInternals, PageSeesTheFactsInKeyOrder) {
    const std::vector<platform::OsFacts> cases = {
        platform::make_os_probe()->facts(),
        platform::windows_system::os_facts(platform::windows_system::WindowsVersion{10, 0, 22631}),
        {"\n", "linux", "linux", "unix", "Unknown", "x86_64", ""},
        {"\n", "linux", "linux", "unix", "12 \"bookworm\" \\ </script> \u2028 ž __OS_ARCH__", "x86_64", "__OS_EOL__"},
    };
    for (const auto& facts : cases) {
        Page page;
        ASSERT_FALSE(page.run(os_internals_script(facts)).starts_with("exception")) << facts.version;
        auto keys = page.run("Object.keys(window.__TAURI_OS_PLUGIN_INTERNALS__)");
        EXPECT_EQ(keys, R"(["eol","os_type","platform","family","version","arch","exe_extension"])");
        auto values = Json::parse(page.run("window.__TAURI_OS_PLUGIN_INTERNALS__"));
        auto seen = facts_json_order(values);
        EXPECT_EQ(seen.eol, facts.eol);
        EXPECT_EQ(seen.os_type, facts.os_type);
        EXPECT_EQ(seen.platform, facts.platform);
        EXPECT_EQ(seen.family, facts.family);
        EXPECT_EQ(seen.version, facts.version);
        EXPECT_EQ(seen.arch, facts.arch);
        EXPECT_EQ(seen.exe_extension, facts.exe_extension);
        EXPECT_EQ(page.run("window.__TAURI_OS_PLUGIN_INTERNALS__.eol.length"), std::to_string(facts.eol.size()));
    }
}

TEST(OsInternals, PageCannotReplaceOrRedefineIt) {
    Page page;
    page.run(os_internals_script({"\n", "linux", "linux", "unix", "12", "x86_64", ""}));
    struct Case {
        const char* attempt;
        const char* answer;
    };
    const std::vector<Case> cases = {
        {"window.__TAURI_OS_PLUGIN_INTERNALS__ = {os_type: 'evil'}; window.__TAURI_OS_PLUGIN_INTERNALS__.os_type",
         R"("linux")"},
        {"'use strict'; try { window.__TAURI_OS_PLUGIN_INTERNALS__ = 1; 'assigned' } catch (e) { e.name }",
         R"("TypeError")"},
        {"try { Object.defineProperty(window, '__TAURI_OS_PLUGIN_INTERNALS__', {value: 1}); 'redefined' }"
         " catch (e) { e.name }",
         R"("TypeError")"},
        {"try { Object.defineProperty(window, '__TAURI_OS_PLUGIN_INTERNALS__', {get() { return 1 }}); 'redefined' }"
         " catch (e) { e.name }",
         R"("TypeError")"},
        {"delete window.__TAURI_OS_PLUGIN_INTERNALS__", "false"},
        {"Object.keys(window).includes('__TAURI_OS_PLUGIN_INTERNALS__')", "false"},
        {"JSON.stringify(Object.getOwnPropertyDescriptor(window, '__TAURI_OS_PLUGIN_INTERNALS__'),"
         " ['writable', 'enumerable', 'configurable'])",
         R"("{\"writable\":false,\"enumerable\":false,\"configurable\":false}")"},
        {"window.__TAURI_OS_PLUGIN_INTERNALS__.platform", R"("linux")"},
    };
    for (const auto& c : cases) EXPECT_EQ(page.run(c.attempt), c.answer) << c.attempt;
}

class InlineLoop : public core::MainLoop {
public:
    void post(std::function<void()> task) override { task(); }
    void quit(int) override {}
};

TEST(OsPlugin, RegistersTheScriptForEveryFrameAndAnswersTheLocale) {
    InlineLoop loop;
    core::App app({"Mirravel - Launcher", "0.1.36", "test"}, loop, 1);
    core::PermissionSet permissions;
    permissions.granted["plugin:os|locale"] = {core::PermissionEntry{{"main"}, true}};
    app.router().set_permissions(permissions);
    register_os_plugin(app, platform::make_os_probe());

    ASSERT_EQ(app.page_scripts().size(), 1u);
    EXPECT_FALSE(app.page_scripts()[0].top_frame_only);
    EXPECT_EQ(app.page_scripts()[0].source, os_internals_script(platform::make_os_probe()->facts()));

    auto locale = [&] {
        std::optional<core::CommandResult> answer;
        app.router().dispatch({"plugin:os|locale", Json::object(), {"main", "main", true}, nullptr},
                              [&](core::CommandResult result) { answer = std::move(result); });
        EXPECT_TRUE(answer && *answer);
        return answer && *answer ? to_compact(**answer) : std::string("no answer");
    };
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) ::unsetenv(name);
    ::setenv("LANG", "ru_RU.UTF-8", 1);
    EXPECT_EQ(locale(), R"("ru-RU")");
    ::setenv("LANGUAGE", "en_US:ru", 1);
    EXPECT_EQ(locale(), R"("en-US")");
    ::unsetenv("LANGUAGE");
    ::setenv("LANG", "C.UTF-8", 1);
    EXPECT_EQ(locale(), "null");
    app.shutdown();
}

}  // namespace
}  // namespace launcher::plugins::os
