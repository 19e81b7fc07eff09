# Cross-compiling beam for 64-bit ARM Linux (Raspberry Pi OS 64-bit, ARM
# laptops and servers) with Debian's cross compiler (g++-aarch64-linux-gnu).
# Use: cmake -S . -B build-arm --toolchain cmake/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(BEAM_AARCH64_ROOT /usr/aarch64-linux-gnu)  # the cross C library and its loader
set(CMAKE_FIND_ROOT_PATH ${BEAM_AARCH64_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The Debian package's architecture and dpkg-shlibdeps's view of the
# libraries (cmake/BeamPackaging.cmake).
set(BEAM_DEBIAN_ARCHITECTURE arm64)

# Programs run under qemu-user (ctest, test discovery, the transcripts) with
# the cross C library: its loader as the root (-L) and its libraries first.
# The loader would otherwise also find Debian's arm64 libraries where they
# are installed beside the host's (libc6:arm64, which the arm64 package's
# dependencies are read from), of another version than the loader: a
# program that forks then spins in the child.
find_program(BEAM_QEMU qemu-aarch64)
if(BEAM_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BEAM_QEMU} -L ${BEAM_AARCH64_ROOT}
    -E LD_LIBRARY_PATH=${BEAM_AARCH64_ROOT}/lib)
endif()
