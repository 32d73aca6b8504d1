# Cross-compiles the shipped 32-bit Windows program with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Tests run under 32-bit Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine CACHE STRING "Runs the built Windows programs")
