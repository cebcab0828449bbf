# The Windows x64 build as far as it goes today: the core, the embedded assets, the command
# groups that depend on the core and the system probes alone, the installer hand-off and the
# opener on the Windows shell, the pure parts of the updater, graphics enumeration, the
# executable's resources and the Windows system layer, with their suites (run under wine by
# scripts/test-windows; the os plugin's suite needs JavaScriptCore and is left out). The other
# groups still link Linux code directly (the updater's HTTP client is libcurl, the system-info
# suite checks /proc); they join this build once the platform is chosen in one place.
# docs/windows.md keeps the list.
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)

add_subdirectory(src/page)
add_subdirectory(src/assets)
foreach(group app event resources window process os)
  add_subdirectory(src/plugins/${group})
endforeach()
add_subdirectory(src/platform/windows/system)
# Graphics adapters: the shared records and the Windows providers.
add_subdirectory(src/gpu)
add_subdirectory(src/platform/windows/graphics)
add_subdirectory(src/launcher/windows_resources)

# Built from the folder's own sources until the updater's general code becomes a library of its
# own; its suites need the loopback servers.
set(updater_src ${CMAKE_CURRENT_SOURCE_DIR}/src/plugins/updater)
add_library(launcher_updater_formats STATIC
  ${updater_src}/base64.cpp ${updater_src}/minisign.cpp ${updater_src}/rfc3339.cpp ${updater_src}/semver.cpp)
target_link_libraries(launcher_updater_formats PUBLIC launcher_core PRIVATE PkgConfig::SODIUM)

# The installer hand-off and the opener on the Windows shell: installers through ShellExecuteW,
# URLs through ShellExecuteExW, the relaunch through CreateProcessW.
add_subdirectory(src/installer)
add_subdirectory(src/platform/windows/text)
add_subdirectory(src/platform/windows/files)
add_subdirectory(src/platform/windows/shell)
add_subdirectory(src/plugins/opener)

if(LAUNCHER_TESTS)
  add_subdirectory(tests)
endif()
