# Warnings and floating-point rules shared by every target of the project.
# Arithmetic must be plain IEEE double as written: no fused multiply-add, no
# fast-math. Flags follow the compiler's front end: cl.exe and clang-cl take
# MSVC-style options, GCC, Clang and MinGW-w64 the GNU-style ones.
option(BEAM_WERROR "Treat compiler warnings as errors" OFF)

function(beam_set_warnings target)
  if(MSVC)
    # /fp:precise: no contraction into fused multiply-add (Visual Studio 2022
    # contracts only under /fp:contract); clang-cl is told so in its own words.
    target_compile_options(${target} PRIVATE /W4 /permissive- /fp:precise)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
      target_compile_options(${target} PRIVATE /clang:-ffp-contract=off)
    endif()
    if(BEAM_WERROR)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wconversion -Wshadow
      -ffp-contract=off
    )
    if(BEAM_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()
