# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the posix thread model, for
# std::thread and std::mutex). Libraries come from the prefix scripts/setup-windows builds
# (LAUNCHER_WINDOWS_PREFIX) and from the toolchain's own root; the build machine's are never seen.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

if(NOT LAUNCHER_WINDOWS_PREFIX AND DEFINED ENV{LAUNCHER_WINDOWS_PREFIX})
  set(LAUNCHER_WINDOWS_PREFIX $ENV{LAUNCHER_WINDOWS_PREFIX})
endif()
# try_compile projects run with a fresh cache: hand the prefix down to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LAUNCHER_WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${LAUNCHER_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config answers from the prefix alone; every library there is static, so its .pc files list
# their dependencies as public ones (scripts/setup-windows rewrites them so).
if(LAUNCHER_WINDOWS_PREFIX)
  set(ENV{PKG_CONFIG_LIBDIR} ${LAUNCHER_WINDOWS_PREFIX}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()

# One self-contained executable: no libgcc, libstdc++ or winpthread DLL beside it. In C++23 GCC 12
# makes std::type_info::operator== inline while the static libstdc++ still defines it out of line
# (GCC bug 110572), so every program with RTTI would fail to link; both definitions are the same.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--allow-multiple-definition")

# Tests, and the build's own tools, run under wine in a prefix of the build directory.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix
    ${CMAKE_CURRENT_LIST_DIR}/../../../scripts/wine-run)
