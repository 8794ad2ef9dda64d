# Cross-building for 64-bit Windows with Debian's mingw-w64 (package
# g++-mingw-w64-x86-64-posix: the POSIX thread model, which std::thread
# needs).  Programs and tests run on this machine through Wine:
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#   cmake --build build-win --target q7mslib q7mctl
#   (cd build-win && ctest)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(Q7M_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${Q7M_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${Q7M_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${Q7M_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${Q7M_MINGW_PREFIX}-objdump CACHE FILEPATH "objdump for PE files")

set(CMAKE_FIND_ROOT_PATH /usr/${Q7M_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes go into every binary: the DLL and the programs
# load on a Windows machine that has none of mingw's DLLs (without this,
# the DLL fails to load and says nothing).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and helper programs run under Wine (wine64 on Debian 12 lives in
# /usr/lib/wine; the `wine` package adds /usr/bin/wine).
find_program(Q7M_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(Q7M_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${Q7M_WINE})
endif()
