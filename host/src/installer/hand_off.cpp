#include "installer/hand_off.hpp"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>

#include "core/app.hpp"
#include "core/fatal.hpp"
#include "installer/installer_arguments.hpp"
#include "installer/package_kind.hpp"
#include "installer/update_directory.hpp"
#include "installer/zip_extract.hpp"

namespace launcher::installer {

namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

// Puts the installer into `directory`: the package itself under a fixed name, or the first
// installer at the top level of the extracted archive.
std::expected<FoundInstaller, std::string> place_installer(PackageKind kind, std::span<const std::uint8_t> package,
                                                           const std::filesystem::path& directory,
                                                           const std::string& base_name) {
    if (kind == PackageKind::zip) {
        if (auto extracted = extract_stored_zip(package, directory); !extracted)
            return std::unexpected(extracted.error());
        auto found = find_installer(directory);
        if (!found) return std::unexpected("binary for the current target not found in the archive");
        return *found;
    }
    auto path = directory / (base_name + (kind == PackageKind::nsis ? "-installer.exe" : "-installer.msi"));
    if (auto written = write_new_file(path, package); !written) return std::unexpected(written.error());
    return FoundInstaller{path, kind};
}

}  // namespace

std::expected<void, std::string> hand_off(std::span<const std::uint8_t> package, const std::string& version,
                                          const WindowsSettings& settings, const HandOffHost& host) {
    auto kind = package_kind(package);
    if (!kind) return std::unexpected("invalid updater binary format");

    auto base_name = host.product_name + "-" + version;
    std::error_code error;
    auto temp = std::filesystem::temp_directory_path(error);
    if (error) return std::unexpected(error.message());
    auto directory = create_unique_directory(temp, base_name + "-updater-");
    if (!directory) return std::unexpected(directory.error());

    auto installer = place_installer(*kind, package, *directory, base_name);
    if (!installer) return std::unexpected(installer.error());

    std::string executable;
    std::vector<std::string> arguments;
    if (installer->kind == PackageKind::nsis) {
        executable = installer->path.string();
        arguments = nsis_arguments(settings.install_mode, host.relaunch_args, settings.installer_args);
    } else {
        executable = msiexec_path(environment("SYSTEMROOT"));
        arguments =
            msi_arguments(settings.install_mode, installer->path.string(), host.relaunch_args, settings.installer_args);
    }

    // From here on the launcher is leaving: its windows go first so the installer is not
    // covered by them, and whatever the shell makes of the request, the process ends.
    host.clean_up_before_exit();
    host.shell.start(executable, parameter_string(arguments));
    host.end_process(0);
    return {};
}

HandOffHost hand_off_host(core::App& app) {
    auto clean_up = [&app] {
        auto done = std::make_shared<std::promise<void>>();
        auto finished = done->get_future();
        app.loop().post([&app, done] {
            app.clean_up_before_exit();
            done->set_value();
        });
        // If the main loop has already ended it never runs the clean-up; the installer must
        // still start, so the wait is bounded.
        finished.wait_for(std::chrono::seconds(5));
    };
    auto end_process = [](int code) {
        std::fflush(nullptr);
        std::_Exit(code);
    };
    auto* chosen = app.state().find<InstallerShell>();
    if (!chosen) core::fatal("no installer shell registered");
    return HandOffHost{app.info().name, app.relaunch_args(), clean_up, chosen->shell, end_process};
}

}  // namespace launcher::installer
