# The libraries only the tests and benchmarks use. The program itself needs
# nothing beyond the C++ standard library, so a missing or unusable library
# leaves its targets out with a message and `beam` still builds.
#
# "Unusable" is real: Debian's GoogleTest and Google Benchmark are built for
# libstdc++. With clang++ -stdlib=libc++ the first does not link and the
# second links and crashes at start, so each is tried on a small program with
# the project's compiler and flags before its targets are added.

# beam_library_works(<result> <probe source> <imported target> [ARGS ...]):
# builds the probe against the target and, unless cross-compiling, runs it.
function(beam_library_works result source target)
  if(DEFINED CACHE{${result}})
    return()
  endif()
  set(probe ${CMAKE_CURRENT_SOURCE_DIR}/cmake/probes/${source})
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
  if(works)  # a failure is tried again at the next configure
    set(${result} TRUE CACHE INTERNAL "${target} works with this compiler and library")
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

set(BEAM_HAVE_GTEST FALSE)
if(BUILD_TESTING)
  find_package(GTest QUIET)
  if(GTest_FOUND)
    beam_library_works(BEAM_GTEST_WORKS gtest_probe.cpp GTest::gtest_main)
    set(BEAM_HAVE_GTEST ${BEAM_GTEST_WORKS})
  endif()
  if(NOT BEAM_HAVE_GTEST)
    message(STATUS "GoogleTest not found, or not built for this compiler and standard library: "
      "the tests are skipped. To build them, install GoogleTest (Debian/Ubuntu: libgtest-dev) "
      "or point CMAKE_PREFIX_PATH at one built with the same compiler and flags.")
  endif()
endif()

set(BEAM_HAVE_BENCHMARK FALSE)
find_package(benchmark QUIET)
if(benchmark_FOUND)
  beam_library_works(BEAM_BENCHMARK_WORKS benchmark_probe.cpp benchmark::benchmark
    --benchmark_min_time=0)
  set(BEAM_HAVE_BENCHMARK ${BEAM_BENCHMARK_WORKS})
endif()
if(NOT BEAM_HAVE_BENCHMARK)
  message(STATUS "Google Benchmark not found, or not built for this compiler and standard "
    "library: the benchmarks are skipped (Debian/Ubuntu: libbenchmark-dev).")
endif()
