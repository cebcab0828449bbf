// Stands in, under wine, for the relaunched launcher, the program an installer installs and
// starts, and a program a URL is opened with: writes the arguments it was started with (UTF-8,
// each followed by a NUL byte) to the file %RECORD_TO%, renamed into place whole. Started with
// %RELAUNCH_ONCE% set, it first relaunches itself through the shell layer with its own
// arguments, as the launcher does on restart, and ends without writing.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/shell.hpp"
#include "platform/windows/text/wide_text.hpp"

using launcher::platform::windows_text::narrow;

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(narrow(argv[i]));
    if (GetEnvironmentVariableW(L"RELAUNCH_ONCE", nullptr, 0) > 0) {
        SetEnvironmentVariableW(L"RELAUNCH_ONCE", nullptr);
        launcher::platform::relaunch_current_executable(args);
        return 0;
    }
    const wchar_t* out = _wgetenv(L"RECORD_TO");
    if (!out) return 2;
    std::wstring partial = std::wstring(out) + L".partial";
    FILE* file = _wfopen(partial.c_str(), L"wb");
    if (!file) return 3;
    for (const auto& arg : args) std::fwrite(arg.c_str(), 1, arg.size() + 1, file);
    std::fclose(file);
    return MoveFileExW(partial.c_str(), out, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
