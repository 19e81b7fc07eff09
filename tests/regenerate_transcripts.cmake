# Writes every tests/transcripts/NAME.out anew from NAME.in with a built beam:
#   cmake --build build --target transcripts
# (or cmake -DBEAM=build/beam -DTRANSCRIPTS=tests/transcripts -P this file).
# Then read `git diff tests/transcripts` line by line before committing:
# every change there is a change in what users see.
cmake_minimum_required(VERSION 3.25)
file(GLOB inputs "${TRANSCRIPTS}/*.in")
foreach(input IN LISTS inputs)
  string(REGEX REPLACE "[.]in$" ".out" output "${input}")
  # Output to a file: beam writes everything and does not wait for a key.
  execute_process(COMMAND "${BEAM}" INPUT_FILE "${input}" OUTPUT_FILE "${output}"
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${BEAM} < ${input} ended with ${status}")
  endif()
endforeach()
list(LENGTH inputs count)
message(STATUS "${count} transcripts written; now read git diff tests/transcripts")
