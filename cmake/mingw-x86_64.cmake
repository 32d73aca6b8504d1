# The same program for 64-bit Windows: used to run the tests under 64-bit Wine on machines whose
# kernel cannot execute 32-bit code. The program shipped is the 32-bit one.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64 CACHE STRING "Runs the built Windows programs")
