// The Windows shell layer, run under wine: command lines read back by the system's own parser,
// the relaunched executable's arguments, and the programs and URLs the shell starts. The
// browser is wine's: its WineBrowser setting names the program web and mail links go to, here
// the recording script, so those cases run only under wine.

#include <windows.h>
#include <shellapi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell.hpp"
#include "platform/windows/shell/command_line.hpp"
#include "platform/windows/text/wide_text.hpp"
#include "windows_record.hpp"

namespace fs = std::filesystem;
using launcher::platform::system_shell;
using launcher::platform::windows_text::narrow;
using launcher::platform::windows_text::system_message;
using launcher::platform::windows_text::widen;
using Args = std::vector<std::string>;

namespace {

// The arguments CommandLineToArgvW reads from `line`, its first (the program) included.
Args system_split(const std::string& line) {
    int count = 0;
    std::unique_ptr<wchar_t*, decltype(&LocalFree)> argv(CommandLineToArgvW(widen(line).c_str(), &count), &LocalFree);
    Args args;
    for (int i = 0; argv && i < count; ++i) args.push_back(narrow(argv.get()[i]));
    return args;
}

TEST(WindowsCommandLine, TheSystemReadsQuotedArgumentsBackUnchanged) {
    const std::vector<Args> cases{
        {},
        {"plain", "", "two words", "tab\there"},
        {R"(say "hi")", R"(a\"b)", R"(\")", R"(\\)"},
        {R"(C:\dir\)", R"(C:\Program Files\)", R"(\\server\share\)", R"(a\\b)"},
        {"-key=value with space", "/D=C:\\Games", "/quoted?", "Иван Петров"},
    };
    const std::string program = R"(C:\Program Files\Mirravel\launcher.exe)";
    for (const auto& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        Args expected{program};
        expected.insert(expected.end(), args.begin(), args.end());
        EXPECT_EQ(system_split(launcher::platform::windows_shell::command_line(program, args)), expected);

        // Enclosing more characters (the installer's "/") reads back the same.
        std::string line = "p.exe";
        for (const auto& arg : args) line += ' ' + launcher::platform::windows_shell::quote_argument(arg, " \t/");
        expected.front() = "p.exe";
        EXPECT_EQ(system_split(line), expected) << line;
    }
}

// Under wine, where the browser is a program of the build machine. Wine starts it with the
// environment this suite was started with, not the one it changed, so the script writes to the
// record file CTest named (BROWSER_RECORD).
bool under_wine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// Each test gets a sandbox whose name holds a space and Cyrillic letters, as a user's folders
// may, with a copy of the recording program in it and the file the program writes to.
class WindowsShell : public ::testing::Test {
protected:
    void SetUp() override {
        sandbox = fs::temp_directory_path() / ("windows_shell_test_" + std::to_string(GetCurrentProcessId())) /
                  fs::path(L"Мои игры");
        fs::remove_all(sandbox.parent_path());
        fs::create_directories(sandbox);
        recorder = sandbox / "launcher probe.exe";
        fs::copy_file(fs::path(RECORD_ARGS_PROGRAM), recorder);
        record = sandbox / "record";
        SetEnvironmentVariableW(L"RECORD_TO", record.c_str());
        SetEnvironmentVariableW(L"RELAUNCH_ONCE", nullptr);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(sandbox.parent_path(), ignored);
    }

    std::optional<Args> recorded() { return launcher::testing::wait_for_record(record); }

    fs::path sandbox, recorder, record;
};

// The first process parses its command line with the C runtime, relaunches itself and ends
// with 0; the relaunched one records what it parsed.
TEST_F(WindowsShell, RelaunchesTheRunningExecutableWithTheSameArguments) {
    struct Case {
        std::wstring line;
        Args args;
    };
    const std::vector<Case> cases{
        {L"", {}},
        {LR"(--profile "two words" "" "-key=value with space")",
         {"--profile", "two words", "", "-key=value with space"}},
        {LR"("C:\Program Files\\" "say \"hi\"" a\\b Иван)", {R"(C:\Program Files\)", R"(say "hi")", R"(a\\b)", "Иван"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        SetEnvironmentVariableW(L"RELAUNCH_ONCE", L"1");
        std::wstring line = L"\"" + recorder.wstring() + L"\" " + c.line;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(recorder.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process))
            << system_message(GetLastError());
        SetEnvironmentVariableW(L"RELAUNCH_ONCE", nullptr);
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(recorded(), c.args);
    }
}

TEST_F(WindowsShell, StartsTheInstallerWithTheParameterString) {
    system_shell().start(narrow(recorder.wstring()), R"(/P /R /UPDATE /ARGS "two words" "" C:\dir\ Иван /D=x)");
    EXPECT_EQ(recorded(), (Args{"/P", "/R", "/UPDATE", "/ARGS", "two words", "", R"(C:\dir\)", "Иван", "/D=x"}));
}

TEST_F(WindowsShell, OpensUrlsWithTheBrowserOrANamedProgram) {
    if (!under_wine()) GTEST_SKIP() << "the browser is observed through wine's WineBrowser setting";
    fs::remove(BROWSER_RECORD);
    std::wstring script = widen(std::string(LAUNCHER_TEST_FIXTURES) + "/shell/record_args.sh");
    for (const wchar_t* kind : {L"Browsers", L"Mailers"}) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", kind, REG_SZ, script.c_str(),
                                  static_cast<DWORD>((script.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    struct Case {
        std::string url;
        std::optional<fs::path> with;
        std::vector<DWORD> failures;  // the errors the shell may answer with; none for success
    };
    const std::vector<Case> cases{
        {"https://mirravel.games/news?from=launcher#top", std::nullopt, {}},
        {"https://mirravel.games/новости", std::nullopt, {}},
        {"mailto:support@mirravel.games", std::nullopt, {}},
        {"https://mirravel.games/", recorder, {}},
        {"nosuchscheme:anything", std::nullopt, {ERROR_FILE_NOT_FOUND, ERROR_NO_ASSOCIATION}},
        {"https://mirravel.games/", sandbox / "missing program.exe", {ERROR_FILE_NOT_FOUND}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        auto with = c.with ? std::optional<std::string>(narrow(c.with->wstring())) : std::nullopt;
        auto opened = system_shell().open_url(c.url, with);
        if (c.failures.empty()) {
            ASSERT_TRUE(opened) << opened.error();
            EXPECT_EQ(launcher::testing::wait_for_record(c.with ? record : fs::path(BROWSER_RECORD)), Args{c.url});
            continue;
        }
        ASSERT_FALSE(opened);
        std::vector<std::string> messages;
        for (auto code : c.failures) messages.push_back(system_message(code));
        EXPECT_THAT(messages, ::testing::Contains(opened.error()));
    }
}

TEST_F(WindowsShell, RevealRefusesMissingAndRelativePaths) {
    auto missing = sandbox / "gone";
    struct Case {
        std::string path;
        std::string message;
    };
    const std::vector<Case> cases{
        {narrow(missing.wstring()), "path does not exist: " + narrow(missing.wstring())},
        {".", "path is not absolute: ."},
    };
    for (const auto& c : cases) {
        auto shown = system_shell().reveal({narrow(recorder.wstring()), c.path});
        ASSERT_FALSE(shown);
        EXPECT_EQ(shown.error(), c.message);
    }
}

}  // namespace
