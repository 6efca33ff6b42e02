# Cross build of a native 64-bit Windows qpeek.exe with Debian's mingw-w64 compilers
# (g++-mingw-w64-x86-64-posix):
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The executables are linked statically (C and C++ runtimes and the threads library
# included), so qpeek.exe runs without any DLL beside it. Under wine64 the tests run with
# tests/windows/run_wine_tests.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QPEEK_MINGW_PREFIX x86_64-w64-mingw32)
# The posix-threads variant: its C++ runtime has the full thread support library.
find_program(CMAKE_C_COMPILER NAMES ${QPEEK_MINGW_PREFIX}-gcc-posix ${QPEEK_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${QPEEK_MINGW_PREFIX}-g++-posix ${QPEEK_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${QPEEK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QPEEK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Lets CMake run the built programs (ctest, try_run) through wine when it is there.
find_program(QPEEK_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT QPEEK_WINE)
    find_program(QPEEK_WINE NAMES wine64 wine)
endif()
if(QPEEK_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QPEEK_WINE})
endif()
