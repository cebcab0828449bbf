# The Windows x64 build as far as it goes today: the core, the embedded assets, the command
# groups that depend on the core and the system probes alone, the pure parts of the installer and
# the updater, the executable's resources and the Windows system layer, with their suites (run
# under wine by scripts/test-windows; the os plugin's suite needs JavaScriptCore and is left
# out). The other groups still link Linux code directly (the installer hand-off and the opener
# reach the GIO shell, the updater's HTTP client is libcurl, graphics enumeration loads .so
# files, the system-info suite checks /proc); they join this build once the platform is chosen
# in one place. docs/windows.md keeps the list.
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)

add_subdirectory(src/page)
add_subdirectory(src/assets)
foreach(group app event resources window process os)
  add_subdirectory(src/plugins/${group})
endforeach()
add_subdirectory(src/platform/windows/system)
add_subdirectory(src/launcher/windows_resources)

# Built from the folders' own sources until the updater's general code and the installer's pieces
# become libraries of their own; their suites need the shell and the loopback servers.
set(updater_src ${CMAKE_CURRENT_SOURCE_DIR}/src/plugins/updater)
add_library(launcher_updater_formats STATIC
  ${updater_src}/base64.cpp ${updater_src}/minisign.cpp ${updater_src}/rfc3339.cpp ${updater_src}/semver.cpp)
target_link_libraries(launcher_updater_formats PUBLIC launcher_core PRIVATE PkgConfig::SODIUM)

set(installer_src ${CMAKE_CURRENT_SOURCE_DIR}/src/installer)
add_library(launcher_installer_parts STATIC
  ${installer_src}/installer_arguments.cpp ${installer_src}/package_kind.cpp
  ${installer_src}/update_directory.cpp ${installer_src}/zip_extract.cpp)
target_link_libraries(launcher_installer_parts PUBLIC launcher_core PRIVATE PkgConfig::SODIUM PkgConfig::LIBZIP)

# The updater's HTTP client on WinHTTP, the update check and download on it (their suite runs
# under wine against a loopback HTTPS server on the Linux side), and launcher-report.
add_subdirectory(src/platform/windows/http)
add_library(launcher_updater_transfers STATIC
  ${updater_src}/bundle_type.cpp ${updater_src}/check.cpp ${updater_src}/download.cpp
  ${updater_src}/package_bytes.cpp ${updater_src}/release_manifest.cpp)
target_link_libraries(launcher_updater_transfers PUBLIC launcher_updater_formats launcher_http launcher_core)
include(${CMAKE_CURRENT_SOURCE_DIR}/cmake/windows_report_tool.cmake)

if(LAUNCHER_TESTS)
  add_subdirectory(tests)
endif()
