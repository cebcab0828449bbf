// The installer hand-off on Windows, for real. The update packages are an NSIS installer made by
// makensis and an MSI package made by wixl, each carrying windows_record_args as the program it
// installs and starts again. The hand-off writes the package into a temporary folder whose path
// holds a space and Cyrillic letters, as a user's profile may, starts it through the system
// shell, and the installed program records the arguments it was started with. Run under wine
// inside a display: the passive installers show their progress.

#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "installer/hand_off.hpp"
#include "platform/files.hpp"
#include "platform/windows/text/wide_text.hpp"
#include "windows_record.hpp"

namespace fs = std::filesystem;
using namespace launcher::installer;
using launcher::platform::windows_text::narrow;
using Args = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::optional<std::wstring> environment(const wchar_t* name) {
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

// Sets or removes a variable both for the C runtime (getenv) and for the processes started.
void put_environment(const std::wstring& name, const std::optional<std::wstring>& value) {
    _wputenv((name + L"=" + value.value_or(L"")).c_str());
}

// Waits until no process runs the image `name` any more: an installer, or msiexec finishing
// its transaction after it started the program.
void wait_for_exit(const std::wstring& name) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    for (;;) {
        bool running = false;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
            running = running || _wcsicmp(entry.szExeFile, name.c_str()) == 0;
        CloseHandle(snapshot);
        if (!running || std::chrono::steady_clock::now() > deadline) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// Removes the MSI package's product when an earlier run left it installed, so the next install
// is a first one (which is what starts the program).
void remove_product(const fs::path& package) {
    MSIHANDLE handle = 0;
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    ASSERT_EQ(MsiOpenPackageExW(package.c_str(), MSIOPENPACKAGEFLAGS_IGNOREMACHINESTATE, &handle), ERROR_SUCCESS);
    wchar_t code[39] = {};
    DWORD size = 39;
    UINT read = MsiGetPropertyW(handle, L"ProductCode", code, &size);
    MsiCloseHandle(handle);
    ASSERT_EQ(read, ERROR_SUCCESS);
    if (MsiQueryProductStateW(code) != INSTALLSTATE_DEFAULT) return;
    ASSERT_EQ(MsiConfigureProductW(code, INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT), ERROR_SUCCESS);
}

TEST(NewFile, CreatesOnlyFilesThatDoNotExistYet) {
    auto dir = fs::temp_directory_path() / ("windows_new_file_" + std::to_string(GetCurrentProcessId())) /
               fs::path(L"Загрузки");
    fs::create_directories(dir);
    std::ofstream(dir / "existing") << "kept";
    struct Case {
        fs::path path;
        std::optional<int> error;  // the errno whose message the creation fails with
    };
    const std::vector<Case> cases{
        {dir / fs::path(L"Обновление 0.1.37.exe"), std::nullopt},
        {dir / "existing", EEXIST},
        {dir / "missing folder" / "file", ENOENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(narrow(c.path.wstring()));
        auto file = launcher::platform::create_new_file(c.path);
        if (c.error) {
            ASSERT_FALSE(file);
            EXPECT_EQ(file.error(), std::generic_category().message(*c.error));
            continue;
        }
        ASSERT_TRUE(file) << file.error();
        std::fputs("installer", file->get());
        file->reset();
        EXPECT_EQ(read_bytes(c.path), (Bytes{'i', 'n', 's', 't', 'a', 'l', 'l', 'e', 'r'}));
    }
    EXPECT_EQ(read_bytes(dir / "existing"), (Bytes{'k', 'e', 'p', 't'}));
    fs::remove_all(dir.parent_path());
}

// Each case hands off with its own temporary folder (TMP), install folder and record file.
class WindowsHandOff : public ::testing::Test {
protected:
    void SetUp() override {
        saved_tmp = environment(L"TMP");
        saved_temp = environment(L"TEMP");
        saved_system_root = environment(L"SYSTEMROOT");
        sandbox = fs::temp_directory_path() / ("windows_hand_off_test_" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(sandbox);
        record = sandbox / "record";
        put_environment(L"RECORD_TO", record.wstring());
        put_environment(L"RELAUNCH_ONCE", std::nullopt);
    }
    void TearDown() override {
        put_environment(L"TMP", saved_tmp);
        put_environment(L"TEMP", saved_temp);
        put_environment(L"SYSTEMROOT", saved_system_root);
        std::error_code ignored;
        fs::remove_all(sandbox, ignored);
    }

    fs::path sandbox, record;
    std::optional<std::wstring> saved_tmp, saved_temp, saved_system_root;
};

TEST_F(WindowsHandOff, TheInstallerReplacesTheLauncherAndStartsItWithItsArguments) {
    struct Case {
        std::string name;
        fs::path package;
        InstallMode mode;
        Args relaunch;
        bool system_root;  // SYSTEMROOT set (msiexec by its full path) or not (by its name)
    };
    // Wine's msiexec drops the doubled quotes inside a quoted property, so the MSI cases pass
    // arguments that need no quoting; the quoting itself is checked in installer_test.
    const std::vector<Case> cases{
        {"NSIS passive",
         NSIS_PACKAGE,
         InstallMode::passive,
         {"--profile", "two words", "", R"(C:\Program Files\)", R"(say "hi")", "Иван"},
         true},
        {"NSIS quiet", NSIS_PACKAGE, InstallMode::quiet, {}, true},
        {"MSI passive", MSI_PACKAGE, InstallMode::passive, {"--profile", "beta"}, true},
        {"MSI passive without SYSTEMROOT", MSI_PACKAGE, InstallMode::passive, {}, false},
    };
    const std::regex dir_name(R"(Mirravel - Launcher-0\.1\.37-updater-[A-Za-z0-9]{6})");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool msi = c.package.extension() == ".msi";
        auto temp = sandbox / c.name / fs::path(L"Временные файлы");
        auto install = sandbox / c.name / fs::path(L"Мои игры") / "Launcher";
        fs::create_directories(temp);
        put_environment(L"TMP", temp.wstring());
        put_environment(L"TEMP", temp.wstring());
        put_environment(L"SYSTEMROOT", c.system_root ? saved_system_root : std::nullopt);
        if (msi) remove_product(c.package);

        // NSIS takes its folder from a last /D= without quotes, MSI from a property.
        WindowsSettings settings{c.mode, {}};
        settings.installer_args.push_back(msi ? "INSTALLDIR=\"" + narrow(install.wstring()) + "\""
                                              : "/D=" + narrow(install.wstring()));
        std::vector<std::string> events;
        HandOffHost host{"Mirravel - Launcher", c.relaunch, [&] { events.push_back("clean_up"); },
                         launcher::platform::system_shell(),
                         [&](int code) { events.push_back("exit " + std::to_string(code)); }};
        auto package = read_bytes(c.package);
        auto handed = hand_off(package, "0.1.37", settings, host);
        ASSERT_TRUE(handed) << handed.error();
        EXPECT_EQ(events, (Args{"clean_up", "exit 0"}));

        // The package went into one fresh folder under the temporary folder, under its fixed name.
        std::vector<fs::path> made;
        for (const auto& entry : fs::directory_iterator(temp)) made.push_back(entry.path());
        ASSERT_EQ(made.size(), 1u);
        EXPECT_TRUE(std::regex_match(narrow(made.front().filename().wstring()), dir_name));
        auto installer = made.front() / (msi ? "Mirravel - Launcher-0.1.37-installer.msi"
                                             : "Mirravel - Launcher-0.1.37-installer.exe");
        EXPECT_EQ(read_bytes(installer), package);

        EXPECT_EQ(launcher::testing::wait_for_record(record), c.relaunch);
        EXPECT_TRUE(fs::exists(install / "probe.exe"));
        wait_for_exit(msi ? L"msiexec.exe" : installer.filename().wstring());
        if (msi) remove_product(c.package);
    }
}

}  // namespace
