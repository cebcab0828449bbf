#include "plugins/process/process_plugin.hpp"

#include <cstdint>

#include "core/app.hpp"

namespace launcher::core {

// Exit codes are signed 32-bit integers.
template <>
struct ArgDecoder<std::int32_t> {
    static std::expected<std::int32_t, std::string> decode(const Json& v) {
        if (v.is_number_integer()) {
            bool in_range = v.is_number_unsigned() ? v.get<std::uint64_t>() <= INT32_MAX
                                                   : v.get<std::int64_t>() >= INT32_MIN && v.get<std::int64_t>() <= INT32_MAX;
            if (in_range) return static_cast<std::int32_t>(v.get<std::int64_t>());
            return std::unexpected("invalid value: " + describe_unexpected(v) + ", expected i32");
        }
        return std::unexpected(invalid_type(v, "i32"));
    }
};

}  // namespace launcher::core

namespace launcher::plugins {

void register_process_plugin(core::App& app) {
    app.router().add_plugin("process");
    app.router().add({"plugin:process|restart", core::RunOn::main_thread, [](core::Invocation& call) -> core::CommandResult {
                          call.app().request_restart();
                          return nullptr;
                      }});
    app.router().add({"plugin:process|exit", core::RunOn::main_thread, [](core::Invocation& call) -> core::CommandResult {
                          auto code = call.arg<std::int32_t>("code");
                          if (!code) return std::unexpected(code.error());
                          call.app().request_exit(*code);
                          return nullptr;
                      }});
}

}  // namespace launcher::plugins
