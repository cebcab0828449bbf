// launcher-report: prints the system report the launcher's report dialog sends, for support
// staff to ask a player for. The figures come from the same code as the launcher's commands.

#include <cstdio>
#include <string_view>

#include "platform/graphics.hpp"
#include "platform/system_probe.hpp"
#include "plugins/system_info/system_info_state.hpp"
#include "report_tool/system_report.hpp"

namespace {

constexpr std::string_view usage =
    "usage: launcher-report [--pretty]\n"
    "Prints this computer's system report as JSON: compact, or indented by two spaces with --pretty.\n";

}  // namespace

int main(int argc, char** argv) {
    bool pretty = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--pretty") {
            pretty = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(usage.data(), stdout);
            return 0;
        } else {
            std::fprintf(stderr, "launcher-report: unknown argument %s\n%s", argv[i], usage.data());
            return 2;
        }
    }

    using namespace launcher;
    auto os = platform::make_os_probe();
    // Processor usage is measured before the adapters are enumerated: loading the graphics
    // drivers keeps the processors busy and would be measured instead of the machine.
    plugins::system_info::SystemInfoState info(platform::make_system_probe());
    auto cpu = info.cpu_info();
    auto gpus = platform::list_gpus();
    auto report = report_tool::system_report(os->facts(), os->locale(), cpu, gpus, info.memory_info());

    auto text = pretty ? report.dump(2, ' ', false, Json::error_handler_t::replace) : to_compact(report);
    text += '\n';
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0 ? 0 : 1;
}
