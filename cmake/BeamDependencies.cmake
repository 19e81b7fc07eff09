# The libraries only the tests and benchmarks use. The program itself needs
# nothing beyond the C++ standard library, so a missing or unusable library
# leaves its targets out with a message and `beam` still builds.
#
# "Unusable" is real: Debian's GoogleTest and Google Benchmark are built for
# libstdc++. With clang++ -stdlib=libc++ the first does not link and the
# second links and crashes at start, so each is tried on a small program with
# the project's compiler and flags before its targets are added. A result is
# kept with the compiler and flags it was found with, and found again when
# they change.

# beam_library_works(<result> <probe source> <imported target> [ARGS ...]):
# builds the probe against the target and, unless cross-compiling, runs it.
function(beam_library_works result source target)
  get_target_property(location ${target} LOCATION)
  set(signature "${CMAKE_CXX_COMPILER}|${CMAKE_CXX_FLAGS}|${CMAKE_EXE_LINKER_FLAGS}|${location}")
  if(DEFINED CACHE{${result}} AND "$CACHE{${result}_SIGNATURE}" STREQUAL signature)
    set(${result} $CACHE{${result}} PARENT_SCOPE)
    return()
  endif()
  set(probe ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/probes/${source})
  if(CMAKE_CROSSCOMPILING)
    try_compile(works ${CMAKE_BINARY_DIR}/probes/${result} ${probe}
      CXX_STANDARD 20 LINK_LIBRARIES ${target})
  else()
    try_run(exit_code built ${CMAKE_BINARY_DIR}/probes/${result} ${probe}
      CXX_STANDARD 20 LINK_LIBRARIES ${target} ARGS ${ARGN})
    set(works FALSE)
    if(built AND exit_code EQUAL 0)
      set(works TRUE)
    endif()
  endif()
  set(${result} ${works} CACHE INTERNAL "${target} works with this compiler and library")
  set(${result}_SIGNATURE "${signature}" CACHE INTERNAL "what ${result} was found with")
  set(${result} ${works} PARENT_SCOPE)
endfunction()

# beam_find_usable(<result> <package> <target> <probe> <install hint> [ARGS ...])
function(beam_find_usable result package target probe hint)
  set(${result} FALSE PARENT_SCOPE)
  find_package(${package} QUIET)
  if(NOT ${package}_FOUND OR NOT TARGET ${target})
    message(STATUS "${package} not found (${hint}).")
    return()
  endif()
  beam_library_works(BEAM_${package}_WORKS ${probe} ${target} ${ARGN})
  if(NOT BEAM_${package}_WORKS)
    message(STATUS "${package} found but not usable with this compiler and standard library "
      "(build it with the same compiler and flags and point CMAKE_PREFIX_PATH at it).")
  endif()
  set(${result} ${BEAM_${package}_WORKS} PARENT_SCOPE)
endfunction()

# GoogleTest: an installed one, or, in a cross build (Windows, ARM Linux, the
# browser with emscripten), one built here from its sources for the target
# (Debian's googletest package ships them in /usr/src/googletest).
set(BEAM_HAVE_GTEST FALSE)
set(BEAM_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
  "GoogleTest's sources, built for the target in a cross build")
if(BUILD_TESTING)
  if(CMAKE_CROSSCOMPILING AND EXISTS ${BEAM_GOOGLETEST_SOURCE}/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    add_subdirectory(${BEAM_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest_main)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
    set(BEAM_HAVE_GTEST TRUE)
  else()
    beam_find_usable(BEAM_HAVE_GTEST GTest GTest::gtest_main gtest_probe.cpp
      "Debian/Ubuntu: libgtest-dev")
  endif()
  if(NOT BEAM_HAVE_GTEST)
    message(STATUS "The tests are skipped.")
  endif()
endif()
