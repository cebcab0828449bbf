#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "installer/hand_off.hpp"
#include "installer/installer_arguments.hpp"
#include "installer/package_kind.hpp"
#include "platform/linux/shell/windows_command_line.hpp"

namespace fs = std::filesystem;
using namespace launcher::installer;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// Real packages, built once for the whole binary: an NSIS installer by makensis, an MSI by wixl,
// and ZIP archives of them made by Python's zipfile and Info-ZIP.
class Packages : public ::testing::Environment {
public:
    static inline fs::path dir;

    void SetUp() override {
        fs::path fixtures = fs::path(LAUNCHER_TEST_FIXTURES) / "installer";
        dir = fs::temp_directory_path() / ("installer_test_packages_" + std::to_string(getpid()));
        fs::create_directories(dir);
        fs::copy(fixtures / "setup.nsi", dir);
        fs::copy(fixtures / "product.wxs", dir);
        fs::copy(fixtures / "payload.txt", dir);
        auto in_dir = "cd " + quoted(dir) + " && ";
        run(in_dir + "makensis -V1 setup.nsi >/dev/null");
        run(in_dir + "wixl -o product.msi product.wxs");
        auto zip = in_dir + "python3 " + quoted(fixtures / "make_zip.py") + " ";
        run(zip + "nsis_stored.zip stored readme.txt=payload.txt setup.exe=setup.exe");
        run(zip + "nsis_deflated.zip deflated setup.exe=setup.exe");
        run(zip + "in_folder.zip stored tools/= tools/setup.exe=setup.exe readme.txt=payload.txt");
        run(zip + "slip_parent.zip stored readme.txt=payload.txt ../escaped.exe=setup.exe");
        run(zip + "slip_nested.zip stored setup.exe=setup.exe tools/../../escaped.exe=setup.exe");
        run(zip + "slip_absolute.zip stored " + quoted(dir / "escaped.exe") + "=setup.exe");
        run(zip + "slip_drive.zip stored C:/escaped.exe=setup.exe");
        run(zip + "slip_backslash.zip stored '..\\escaped.exe=setup.exe'");
        run(in_dir + "zip -q -0 msi_zip0.zip product.msi");
        run(in_dir + "zip -q -0 -P secret encrypted.zip setup.exe");
        // Directory records that share stored bytes: a thousand for one local entry, and one
        // inside another entry's data.
        auto overlapping = in_dir + "python3 " + quoted(fixtures / "make_overlapping_zip.py") + " ";
        run(overlapping + "aliases.zip aliases setup.exe 1000");
        run(overlapping + "nested.zip nested setup.exe");
        // A stored archive cut short loses its central directory; one with a flipped byte in the
        // installer's data fails its CRC.
        auto whole = read_bytes(dir / "nsis_stored.zip");
        write(dir / "truncated.zip", Bytes(whole.begin(), whole.begin() + whole.size() / 2));
        whole[200] ^= 0xFF;
        write(dir / "corrupted.zip", whole);
    }

    void TearDown() override { fs::remove_all(dir); }

    static Bytes package(const std::string& name) { return read_bytes(dir / name); }

private:
    static void write(const fs::path& path, const Bytes& bytes) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
};

const auto* packages = ::testing::AddGlobalTestEnvironment(new Packages);

struct Recorder : launcher::platform::Shell {
    std::vector<std::string>& log;
    std::string executable;
    std::string parameters;
    explicit Recorder(std::vector<std::string>& events) : log(events) {}
    void start(const std::string& exe, const std::string& params) override {
        log.push_back("start");
        executable = exe;
        parameters = params;
    }
    std::expected<void, std::string> open_url(const std::string&, const std::optional<std::string>&) override {
        return {};
    }
    std::expected<void, std::string> reveal(const std::vector<std::string>&) override { return {}; }
};

TEST(PackageKind, LeadingBytesDecideTheKind) {
    struct Case {
        Bytes bytes;
        std::optional<PackageKind> kind;
    };
    const std::vector<Case> cases{
        {{0x50, 0x4B, 0x03, 0x04}, PackageKind::zip},
        {{0x50, 0x4B, 0x05, 0x06, 0, 0}, PackageKind::zip},
        {{0x50, 0x4B, 0x07, 0x08}, PackageKind::zip},
        {{0x50, 0x4B, 0x30, 0x30, 0x50, 0x4B, 0x03, 0x04}, PackageKind::zip},
        {{0x50, 0x4B, 0x30, 0x30, 0x50, 0x4B, 0x03}, std::nullopt},
        {{0x50, 0x4B, 0x03}, std::nullopt},
        {{0x4D, 0x5A}, PackageKind::nsis},
        {{0x4D}, std::nullopt},
        {{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1}, PackageKind::msi},
        {{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A}, std::nullopt},
        {{}, std::nullopt},
        {{0x7F, 'E', 'L', 'F'}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(package_kind(c.bytes), c.kind) << ::testing::PrintToString(c.bytes);
    }
}

// The installers' command lines. Each NSIS line is also split back the way a Windows program's C
// runtime parses it, which must give the original relaunch arguments.
TEST(InstallerArguments, CommandLinesAndEscaping) {
    struct Case {
        InstallMode mode;
        std::vector<std::string> relaunch;
        std::vector<std::string> extra;
        std::string nsis;
        std::string msi;
    };
    const std::string msi_head = R"(/i "C:\Temp\u\p.msi" )";
    const std::vector<Case> cases{
        {InstallMode::passive,
         {},
         {},
         "/P /R /UPDATE /ARGS",
         msi_head + R"(/passive /promptrestart AUTOLAUNCHAPP=True LAUNCHAPPARGS="")"},
        {InstallMode::quiet,
         {},
         {},
         "/S /R /UPDATE /ARGS",
         msi_head + R"(/quiet /promptrestart AUTOLAUNCHAPP=True LAUNCHAPPARGS="")"},
        {InstallMode::basic_ui,
         {},
         {},
         "/UPDATE /ARGS",
         msi_head + R"(/qb+ /promptrestart AUTOLAUNCHAPP=True LAUNCHAPPARGS="")"},
        {InstallMode::passive,
         {"plain", "two words"},
         {},
         R"(/P /R /UPDATE /ARGS plain "two words")",
         msi_head + R"(/passive /promptrestart AUTOLAUNCHAPP=True LAUNCHAPPARGS="plain ""two words""")"},
        {InstallMode::passive,
         {"C:/games", "tab\there"},
         {},
         "/P /R /UPDATE /ARGS \"C:/games\" \"tab\there\"",
         msi_head + "/passive /promptrestart AUTOLAUNCHAPP=True LAUNCHAPPARGS=\"C:/games tab\there\""},
        {InstallMode::passive,
         {R"(say "hi")"},
         {},
         R"(/P /R /UPDATE /ARGS "say \"hi\"")",
         msi_head + R"(/passive /promptrestart AUTOLAUNCHAPP=True LAUNCHAPPARGS="""say """"hi""""""")"},
        {InstallMode::passive,
         {R"(a\"b)", R"(C:\dir\)"},
         {},
         R"(/P /R /UPDATE /ARGS a\\\"b C:\dir\)",
         msi_head + R"(/passive /promptrestart AUTOLAUNCHAPP=True LAUNCHAPPARGS="""a\""""b"" C:\dir\")"},
        {InstallMode::passive,
         {R"(C:\Program Files\)"},
         {},
         R"(/P /R /UPDATE /ARGS "C:\Program Files\\")",
         msi_head + R"(/passive /promptrestart AUTOLAUNCHAPP=True LAUNCHAPPARGS="""C:\Program Files\""")"},
        {InstallMode::passive,
         {""},
         {},
         R"(/P /R /UPDATE /ARGS "")",
         msi_head + R"(/passive /promptrestart AUTOLAUNCHAPP=True LAUNCHAPPARGS="""""")"},
        {InstallMode::passive,
         {"-key=value with space", "-flag=on"},
         {},
         R"(/P /R /UPDATE /ARGS "-key=value with space" -flag=on)",
         msi_head + R"(/passive /promptrestart AUTOLAUNCHAPP=True LAUNCHAPPARGS="-key=""value with space"" -flag=on")"},
        {InstallMode::quiet,
         {"x"},
         {"/D=C:\\Games", "EXTRA=1"},
         R"(/S /R /UPDATE /ARGS x /D=C:\Games EXTRA=1)",
         msi_head + R"(/quiet /promptrestart /D=C:\Games EXTRA=1 AUTOLAUNCHAPP=True LAUNCHAPPARGS="x")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.relaunch));
        auto nsis = parameter_string(nsis_arguments(c.mode, c.relaunch, c.extra));
        EXPECT_EQ(nsis, c.nsis);
        EXPECT_EQ(parameter_string(msi_arguments(c.mode, R"(C:\Temp\u\p.msi)", c.relaunch, c.extra)), c.msi);

        auto split = launcher::platform::linux_shell::split_windows_command_line(nsis);
        std::vector<std::string> relaunch_back(split.begin() + (c.mode == InstallMode::basic_ui ? 2 : 4),
                                               split.end() - static_cast<long>(c.extra.size()));
        EXPECT_EQ(relaunch_back, c.relaunch);
    }
}

TEST(InstallerArguments, MsiexecComesFromSystemRoot) {
    EXPECT_EQ(msiexec_path(std::nullopt), "msiexec.exe");
    EXPECT_EQ(msiexec_path(R"(C:\Windows)"), R"(C:\Windows\System32\msiexec.exe)");
}

// Each test hands off inside its own temporary directory, so everything written is visible.
class HandOff : public ::testing::Test {
protected:
    void SetUp() override {
        sandbox = fs::temp_directory_path() / ("installer_test_" + std::to_string(getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(sandbox);
        fs::create_directories(sandbox);
        saved_tmpdir = std::getenv("TMPDIR") ? std::optional<std::string>(std::getenv("TMPDIR")) : std::nullopt;
        setenv("TMPDIR", sandbox.c_str(), 1);
        unsetenv("SYSTEMROOT");
    }
    void TearDown() override {
        if (saved_tmpdir)
            setenv("TMPDIR", saved_tmpdir->c_str(), 1);
        else
            unsetenv("TMPDIR");
        fs::remove_all(sandbox);
    }

    std::expected<void, std::string> hand(const Bytes& package, const WindowsSettings& settings = {},
                                          std::vector<std::string> relaunch = {}) {
        HandOffHost host{"Mirravel - Launcher", std::move(relaunch), [this] { events.push_back("clean_up"); }, shell,
                         [this](int code) { events.push_back("exit " + std::to_string(code)); }};
        return hand_off(package, "0.1.37", settings, host);
    }

    // The one updater directory the hand-off made.
    fs::path update_dir() const {
        std::vector<fs::path> made;
        for (const auto& entry : fs::directory_iterator(sandbox)) made.push_back(entry.path());
        EXPECT_EQ(made.size(), 1u);
        return made.empty() ? fs::path() : made.front();
    }

    fs::path sandbox;
    std::optional<std::string> saved_tmpdir;
    std::vector<std::string> events;
    Recorder shell{events};
};

TEST_F(HandOff, StartsTheInstallerFromAFreshDirectory) {
    struct Case {
        std::string package;
        std::string installer;  // file name inside the updater directory
        std::string source;     // the built file the installer must equal
        bool msi;
    };
    const std::vector<Case> cases{
        {"setup.exe", "Mirravel - Launcher-0.1.37-installer.exe", "setup.exe", false},
        {"product.msi", "Mirravel - Launcher-0.1.37-installer.msi", "product.msi", true},
        {"nsis_stored.zip", "setup.exe", "setup.exe", false},
        {"msi_zip0.zip", "product.msi", "product.msi", true},
    };
    const std::regex dir_name(R"(Mirravel - Launcher-0\.1\.37-updater-[A-Za-z0-9]{6})");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.package);
        events.clear();
        fs::remove_all(sandbox);
        fs::create_directories(sandbox);

        ASSERT_EQ(hand(Packages::package(c.package)), (std::expected<void, std::string>{}));
        auto dir = update_dir();
        EXPECT_TRUE(std::regex_match(dir.filename().string(), dir_name)) << dir;
        EXPECT_EQ(fs::status(dir).permissions() & fs::perms::all, fs::perms::owner_all);
        auto installer = dir / c.installer;
        EXPECT_EQ(read_bytes(installer), Packages::package(c.source));
        EXPECT_EQ(events, (std::vector<std::string>{"clean_up", "start", "exit 0"}));
        if (c.msi) {
            EXPECT_EQ(shell.executable, "msiexec.exe");
            EXPECT_EQ(shell.parameters, "/i \"" + installer.string() +
                                            "\" /passive /promptrestart AUTOLAUNCHAPP=True LAUNCHAPPARGS=\"\"");
        } else {
            EXPECT_EQ(shell.executable, installer.string());
            EXPECT_EQ(shell.parameters, "/P /R /UPDATE /ARGS");
        }
    }
}

TEST_F(HandOff, PassesModeRelaunchArgumentsAndSystemRoot) {
    setenv("SYSTEMROOT", R"(C:\Windows)", 1);
    WindowsSettings quiet{InstallMode::quiet, {"EXTRA=1"}};
    ASSERT_TRUE(hand(Packages::package("product.msi"), quiet, {"--profile", "a b"}));
    EXPECT_EQ(shell.executable, R"(C:\Windows\System32\msiexec.exe)");
    EXPECT_TRUE(shell.parameters.ends_with(
        R"(/quiet /promptrestart EXTRA=1 AUTOLAUNCHAPP=True LAUNCHAPPARGS="--profile ""a b""")"))
        << shell.parameters;
}

// A refused package leaves the launcher running: no clean-up, no start, no exit, and nothing
// written outside the updater directory (nor, for a refused archive, inside it).
TEST_F(HandOff, RefusedPackagesLeaveTheLauncherRunning) {
    struct Case {
        std::string package;
        std::string message;    // exact, or a prefix when it ends with ": "
        bool extracts_nothing;  // refused before any entry is written
    };
    const std::vector<Case> cases{
        {"one byte", "invalid updater binary format", false},
        {"payload.txt", "invalid updater binary format", false},
        {"nsis_deflated.zip", "unsupported Zip archive: Compression method not supported", true},
        {"encrypted.zip", "unsupported Zip archive: Encryption method not supported", true},
        {"in_folder.zip", "binary for the current target not found in the archive", false},
        {"truncated.zip", "invalid Zip archive: ", true},
        {"corrupted.zip", "invalid Zip archive: CRC error", false},
        {"slip_parent.zip", "invalid Zip archive: ", true},
        {"slip_nested.zip", "invalid Zip archive: ", true},
        {"slip_absolute.zip", "invalid Zip archive: ", true},
        {"slip_drive.zip", "invalid Zip archive: ", true},
        {"slip_backslash.zip", "invalid Zip archive: ", true},
        {"aliases.zip", "invalid Zip archive: entries setup.exe and copy-1.exe overlap", true},
        {"nested.zip", "invalid Zip archive: entries outer.bin and setup.exe overlap", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.package);
        fs::remove_all(sandbox);
        fs::create_directories(sandbox);
        auto package = c.package == "one byte" ? Bytes{0x4D} : Packages::package(c.package);

        auto result = hand(package);
        ASSERT_FALSE(result);
        if (c.message.ends_with(": ")) {
            EXPECT_TRUE(result.error().starts_with(c.message) && result.error().size() > c.message.size())
                << result.error();
        } else {
            EXPECT_EQ(result.error(), c.message);
        }
        EXPECT_TRUE(events.empty());
        EXPECT_FALSE(fs::exists(sandbox.parent_path() / "escaped.exe"));
        EXPECT_FALSE(fs::exists(Packages::dir / "escaped.exe"));
        if (c.extracts_nothing) {
            EXPECT_TRUE(fs::is_empty(update_dir()));
        }
    }
}

}  // namespace
