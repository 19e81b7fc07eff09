# Warnings, floating-point rules and hardening shared by every target of the
# project. Arithmetic must be plain IEEE double as written: no fused
# multiply-add, no fast-math. Flags follow the compiler's front end: cl.exe
# and clang-cl take MSVC-style options, GCC, Clang and MinGW-w64 the
# GNU-style ones.
option(BEAM_WERROR "Treat compiler warnings as errors" OFF)

# Source and build paths are mapped out of the binaries (debug information,
# __FILE__), so two builds of one commit in two folders give the same bytes.
set(beam_prefix_maps
  -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
  -ffile-prefix-map=${PROJECT_BINARY_DIR}/=build/)

# Hardened as distributions build optimised programs for ELF systems: fortified
# libc calls, stack protector, and full RELRO (-z relro with -z now: every
# symbol bound at start, then the relocation table read-only). Measured on a
# typical run: fortify +785 instructions, stack protector +444, -z now
# +16,139 (0.8% of the dynamically linked run), -z relro nothing.
option(BEAM_HARDEN "Fortify, stack protector and RELRO on ELF systems" ON)
set(beam_elf_hardening FALSE)
if(BEAM_HARDEN AND NOT MSVC AND NOT WIN32 AND NOT APPLE AND NOT EMSCRIPTEN
   AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  set(beam_elf_hardening TRUE)
endif()

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
    return()
  endif()
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wconversion -Wshadow
    -ffp-contract=off
    ${beam_prefix_maps}
  )
  if(BEAM_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(beam_elf_hardening)
    set(optimised $<NOT:$<CONFIG:Debug>>)
    target_compile_options(${target} PRIVATE
      -fstack-protector-strong
      $<${optimised}:-U_FORTIFY_SOURCE>
      $<${optimised}:-D_FORTIFY_SOURCE=2>)
    target_link_options(${target} PRIVATE -Wl,-z,relro -Wl,-z,now)
  endif()
  if(MINGW)
    target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)  # no PE time stamp
  endif()
endfunction()
