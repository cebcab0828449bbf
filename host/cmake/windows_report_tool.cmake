# launcher-report.exe on the Windows probes. The system-info command group's records and snapshot
# are built from their files: the group's own suite checks /proc and stays in the Linux build.
if(NOT TARGET launcher_gpu)
  add_subdirectory(src/gpu)
endif()
if(NOT TARGET launcher_plugin_system_info)
  set(system_info_src ${CMAKE_CURRENT_SOURCE_DIR}/src/plugins/system_info)
  add_library(launcher_plugin_system_info STATIC
    ${system_info_src}/system_info_records.cpp ${system_info_src}/system_info_state.cpp)
  target_include_directories(launcher_plugin_system_info PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_link_libraries(launcher_plugin_system_info PUBLIC launcher_core)
endif()
# Until the Windows graphics layer is built, the report lists no adapters.
if(NOT TARGET launcher_platform_graphics)
  add_library(launcher_platform_graphics STATIC src/platform/windows/no_graphics_adapters.cpp)
  target_link_libraries(launcher_platform_graphics PUBLIC launcher_gpu)
endif()
add_subdirectory(src/report_tool)
