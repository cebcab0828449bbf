#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/shell/windows_command_line.hpp"
#include "platform/shell.hpp"

namespace fs = std::filesystem;
using launcher::platform::system_shell;
using Args = std::vector<std::string>;

namespace {

TEST(WindowsCommandLine, SplitsLikeTheCRuntime) {
    struct Case {
        std::string line;
        Args args;
    };
    const std::vector<Case> cases{
        {"", {}},
        {"  \t ", {}},
        {"/P /R  /UPDATE\t/ARGS", {"/P", "/R", "/UPDATE", "/ARGS"}},
        {R"("two words" "")", {"two words", ""}},
        {R"(a"b c"d)", {"ab cd"}},
        {R"(C:\dir\ "C:\Program Files\\")", {R"(C:\dir\)", R"(C:\Program Files\)"}},
        {R"(a\\\"b "say \"hi\"")", {R"(a\"b)", R"(say "hi")"}},
        {R"("in ""quotes"" here")", {R"(in "quotes" here)"}},
        {R"("unterminated quote)", {"unterminated quote"}},
        {R"(LAUNCHAPPARGS="")", {"LAUNCHAPPARGS="}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(launcher::platform::linux_shell::split_windows_command_line(c.line), c.args) << c.line;
    }
}

// Each test gets a sandbox with the recording program and a file it writes its arguments to.
class LinuxShell : public ::testing::Test {
protected:
    void SetUp() override {
        sandbox = fs::temp_directory_path() / ("shell_test_" + std::to_string(getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(sandbox);
        fs::create_directories(sandbox);
        recorder = fs::path(LAUNCHER_TEST_FIXTURES) / "shell" / "record_args.sh";
        record = sandbox / "record";
        setenv("RECORD_TO", record.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(sandbox); }

    // The arguments the recorder was started with, once it has written them (within a minute,
    // ample on a busy machine).
    std::optional<Args> recorded() {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!fs::exists(record)) {
            if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::ifstream in(record, std::ios::binary);
        std::string all(std::istreambuf_iterator<char>(in), {});
        Args args;
        for (std::size_t start = 0; start < all.size();) {
            auto end = all.find('\0', start);
            args.push_back(all.substr(start, end - start));
            start = end + 1;
        }
        fs::remove(record);
        return args;
    }

    fs::path sandbox, recorder, record;
};

TEST_F(LinuxShell, StartsTheInstallerWithTheParameterStringSplit) {
    system_shell().start(recorder.string(), R"(/P /R /UPDATE /ARGS "two words" "" C:\dir\ /D=x)");
    EXPECT_EQ(recorded(), (Args{"/P", "/R", "/UPDATE", "/ARGS", "two words", "", R"(C:\dir\)", "/D=x"}));
}

TEST_F(LinuxShell, RelaunchesTheRunningExecutableWithTheSameArguments) {
    const std::vector<Args> cases{{}, {"--profile", "two words", "", "-key=value with space"}};
    for (const auto& args : cases) {
        Args command{RELAUNCH_PROBE};
        command.insert(command.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& arg : command) argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            unsetenv("RELAUNCH_PROBE_RELAUNCHED");
            execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(recorded(), args);
    }
}

// URLs go to the desktop's default handler, found through the XDG settings this test writes:
// the recorder is the default for http(s), mailto and folders, and nothing handles any other
// scheme. (GIO reads the XDG folders once per process, so every case that needs them is here.)
TEST_F(LinuxShell, OpensUrlsAndFoldersWithTheDefaultHandlerOrANamedProgram) {
    auto data = sandbox / "data";
    auto config = sandbox / "config";
    fs::create_directories(data / "applications");
    fs::create_directories(config);
    std::ofstream(data / "applications" / "launcher-test-recorder.desktop")
        << "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" << recorder.string()
        << " %u\nMimeType=x-scheme-handler/http;x-scheme-handler/https;x-scheme-handler/mailto;inode/directory;\n";
    std::ofstream(config / "mimeapps.list") << "[Default Applications]\n"
                                               "x-scheme-handler/http=launcher-test-recorder.desktop\n"
                                               "x-scheme-handler/https=launcher-test-recorder.desktop\n"
                                               "x-scheme-handler/mailto=launcher-test-recorder.desktop\n"
                                               "inode/directory=launcher-test-recorder.desktop\n";
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_DATA_DIRS", (sandbox / "none").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (sandbox / "none").c_str(), 1);

    struct Case {
        std::string url;
        std::optional<std::string> with;
        std::optional<std::string> failure;  // a part of the system's message; "" for any message
    };
    const std::vector<Case> cases{
        {"https://mirravel.games/news?from=launcher#top", std::nullopt, std::nullopt},
        {"mailto:support@mirravel.games", std::nullopt, std::nullopt},
        {"https://mirravel.games/", recorder.string(), std::nullopt},
        {"nosuchscheme:anything", std::nullopt, ""},
        {"https://mirravel.games/", (sandbox / "missing-program").string(), "missing-program"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        auto opened = system_shell().open_url(c.url, c.with);
        if (c.failure) {
            ASSERT_FALSE(opened);
            EXPECT_FALSE(opened.error().empty());
            EXPECT_NE(opened.error().find(*c.failure), std::string::npos) << opened.error();
        } else {
            ASSERT_TRUE(opened) << opened.error();
            EXPECT_EQ(recorded(), Args{c.url});
        }
    }

    // Without a file manager on the session bus, reveal opens each item's folder; paths that are
    // missing or relative fail before anything opens.
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (sandbox / "no-bus").string()).c_str(), 1);
    auto item = data / "applications" / "launcher-test-recorder.desktop";
    auto shown = system_shell().reveal({item.string()});
    ASSERT_TRUE(shown) << shown.error();
    // GIO hands a local folder to the handler as its path.
    EXPECT_EQ(recorded(), Args{(data / "applications").string()});
    auto missing = system_shell().reveal({(sandbox / "gone").string()});
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error(), "path does not exist: " + (sandbox / "gone").string());
    auto relative = system_shell().reveal({"."});
    ASSERT_FALSE(relative);
    EXPECT_FALSE(relative.error().empty());
}

}  // namespace
