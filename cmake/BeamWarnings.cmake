# Warnings and floating-point rules shared by every target of the project.
# Arithmetic must be plain IEEE double as written: no fused multiply-add, no fast-math.
option(BEAM_WERROR "Treat compiler warnings as errors" OFF)

function(beam_set_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wconversion -Wshadow
    -ffp-contract=off
  )
  if(BEAM_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
