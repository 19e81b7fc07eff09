# Cross-compiling beam.exe for 64-bit Windows with Debian's MinGW-w64 (posix
# threads flavour). Use: cmake -S . -B build-win --toolchain cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Every program static: beam.exe and the test programs run without the
# MinGW-w64 runtime DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Test programs run under wine (ctest, and test discovery before each test).
find_program(BEAM_WINE wine)
if(BEAM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= ${BEAM_WINE})
endif()
