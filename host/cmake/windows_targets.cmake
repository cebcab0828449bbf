# The Windows x64 build as far as it goes today: the core, the embedded assets, the command
# groups that depend on the core and the system probes alone, the opener and the installer
# hand-off on the Windows shell, the general libraries of lib/ but the HTTP client, graphics
# enumeration, the executable's resources and the Windows system layer, with their suites (run
# under wine by scripts/test-windows; the os plugin's suite needs JavaScriptCore and is left out).
# The other groups still link Linux code directly (the updater's HTTP client is libcurl, the
# system-info suite checks /proc). docs/windows.md keeps the list.
add_subdirectory(src/lib)
add_subdirectory(src/page)
add_subdirectory(src/assets)
foreach(group app event resources window process os opener system_info)
  add_subdirectory(src/plugins/${group})
endforeach()
add_subdirectory(src/platform/windows/system)
add_subdirectory(src/platform/windows/text)
add_subdirectory(src/platform/windows/files)
add_subdirectory(src/platform/windows/memory)
add_subdirectory(src/platform/windows/shell)
# Graphics adapters: the shared records and the Windows providers.
add_subdirectory(src/gpu)
add_subdirectory(src/platform/windows/graphics)
# The installer hand-off on the Windows shell: installers through ShellExecuteW.
add_subdirectory(src/installer)
add_subdirectory(src/launcher/windows_resources)

# The updater's HTTP client on WinHTTP, under the updater and launcher-report.
add_subdirectory(src/platform/windows/http)
add_subdirectory(src/plugins/updater)
add_subdirectory(src/report_tool)

if(LAUNCHER_TESTS)
  add_subdirectory(tests)
endif()
