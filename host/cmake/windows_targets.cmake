# The Windows x64 build as far as it goes today: the core, the embedded assets, the command
# groups that depend on the core and the system probes alone, the general libraries of lib/ but
# the HTTP client, the pure parts of the installer, the executable's resources and the Windows
# system layer, with their suites (run under wine by scripts/test-windows; the os plugin's suite
# needs JavaScriptCore and is left out). The other groups still link Linux code directly (the
# installer hand-off and the opener reach the GIO shell, the updater's HTTP client is libcurl,
# graphics enumeration loads .so files, the system-info suite checks /proc); they join this build
# once the platform is chosen in one place. docs/windows.md keeps the list.
add_subdirectory(src/lib)
add_subdirectory(src/page)
add_subdirectory(src/assets)
foreach(group app event resources window process os)
  add_subdirectory(src/plugins/${group})
endforeach()
add_subdirectory(src/platform/windows/system)
add_subdirectory(src/launcher/windows_resources)

# Built from the folder's own sources until the installer's pieces become libraries of their own;
# its suite needs the shell.
set(installer_src ${CMAKE_CURRENT_SOURCE_DIR}/src/installer)
add_library(launcher_installer_parts STATIC
  ${installer_src}/installer_arguments.cpp ${installer_src}/package_kind.cpp
  ${installer_src}/update_directory.cpp ${installer_src}/zip_extract.cpp)
target_link_libraries(launcher_installer_parts PUBLIC launcher_core PRIVATE PkgConfig::SODIUM PkgConfig::LIBZIP)

if(LAUNCHER_TESTS)
  add_subdirectory(tests)
endif()
