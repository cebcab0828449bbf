#include "plugins/os/os_plugin.hpp"

#include <array>
#include <utility>

#include "core/fatal.hpp"
#include "page/scripts.hpp"

namespace launcher::plugins::os {

namespace {

// A JSON string literal is a valid script string literal; escaping everything beyond ASCII also
// keeps U+2028 and U+2029 out of the source, which older script engines reject in literals.
std::string script_literal(const std::string& value) {
    return Json(value).dump(-1, ' ', true, Json::error_handler_t::replace);
}

}  // namespace

std::string os_internals_script(const platform::OsFacts& facts) {
    const std::array<std::pair<std::string_view, const std::string*>, 7> values = {{
        {"__OS_EOL__", &facts.eol},
        {"__OS_TYPE__", &facts.os_type},
        {"__OS_PLATFORM__", &facts.platform},
        {"__OS_FAMILY__", &facts.family},
        {"__OS_VERSION__", &facts.version},
        {"__OS_ARCH__", &facts.arch},
        {"__OS_EXE_EXTENSION__", &facts.exe_extension},
    }};
    // The placeholders stand in key order; each search starts after the previous value, so a
    // value that happens to contain a placeholder's text is never substituted into.
    std::string script(page::os_internals);
    std::size_t from = 0;
    for (const auto& [placeholder, value] : values) {
        auto at = script.find(placeholder, from);
        if (at == std::string::npos) core::fatal("os_internals.js lacks " + std::string(placeholder));
        auto literal = script_literal(*value);
        script.replace(at, placeholder.size(), literal);
        from = at + literal.size();
    }
    return script;
}

void register_os_plugin(core::App& app, std::shared_ptr<platform::OsProbe> probe) {
    app.add_page_script({os_internals_script(probe->facts()), /*top_frame_only=*/false});

    app.router().plugin("os").add("locale", core::RunOn::main_thread,
                                  [probe = std::move(probe)](core::Invocation&) -> core::CommandResult {
                                      auto locale = probe->locale();
                                      return locale ? Json(*locale) : Json(nullptr);
                                  });
}

}  // namespace launcher::plugins::os
