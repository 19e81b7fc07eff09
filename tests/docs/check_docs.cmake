# Keeps two documents true to the tree. Run with cmake -P, SOURCE set to the
# project's root and CHECK to one of:
#   architecture  every path ARCHITECTURE.md names in backticks exists (a
#                 pattern with * matches at least one file)
#   session       the README's sample session is the end of the typical
#                 run's transcript, byte for byte
#   numbers       every number the manual, the READMEs, doc/ and the
#                 contracts state for a user is the one in the code: each
#                 row below reads the number where the code has it, then
#                 looks for each sentence with it (white space and line
#                 ends folded) in the document that states it
#   names         every name in backticks in README.md, CONTRIBUTING.md,
#                 ARCHITECTURE.md and doc/*.md that looks like code is in
#                 the tree. A span is a name only when it holds nothing but
#                 letters, digits and _ . : / * ( ) ~ + - and does not start
#                 with - (so no command, option, HTML or CSS); fenced
#                 blocks are skipped. A trailing () is dropped. Then:
#                   - a path (with /) under one of the tree's own folders
#                     exists (with *, matches a file); other paths (build
#                     folders, installed files) are not checked;
#                   - a name without - that is a file name (a.b, a letter
#                     after the last dot) or has _ or a small letter then a
#                     capital (formatValue, kQuietMs, FileSource, BM_report,
#                     Output::flush, window.beamOutput) appears as it is in
#                     the code's text (sources, scripts and build files, not
#                     the documents) or is the name of a file of the tree;
#                   - anything else is not checked: words, commands, and
#                     names with - (the tree's files and the code's names
#                     have none; the build's outputs and packages do).
cmake_minimum_required(VERSION 3.25)

# Reads the number that `pattern` captures in `source`, then requires each
# sentence after it (with @ for the number, scaled by `divisor`, and @word
# for it as a word) in `document`; a sentence not found is added to
# `failures`. With `divisor` TEXT, @ is the captured text as it is.
function(check_number source pattern divisor document)
  file(READ "${SOURCE}/${source}" code)
  if(NOT code MATCHES "${pattern}")
    list(APPEND failures "${source} no longer matches ${pattern}")
    set(failures "${failures}" PARENT_SCOPE)
    return()
  endif()
  if(divisor STREQUAL "TEXT")
    set(number "${CMAKE_MATCH_1}")
  else()
    math(EXPR number "${CMAKE_MATCH_1} / ${divisor}")
  endif()
  file(READ "${SOURCE}/${document}" text)
  string(REGEX REPLACE "[ \t\n]+" " " text "${text}")
  string(REPLACE "/// " "" text "${text}")
  set(words zero one two three four five six seven eight nine ten eleven twelve)
  set(word "${number}")
  if(number MATCHES "^[0-9]+$" AND number LESS 13)
    list(GET words ${number} word)
  endif()
  foreach(sentence IN LISTS ARGN)
    string(REPLACE "@word" "${word}" sentence "${sentence}")
    string(REPLACE "@" "${number}" sentence "${sentence}")
    string(FIND "${text}" "${sentence}" at)
    if(at LESS 0)
      list(APPEND failures "${document} does not say \"${sentence}\" (${source}: ${number})")
    endif()
  endforeach()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

if(CHECK STREQUAL "architecture")
  file(READ "${SOURCE}/ARCHITECTURE.md" text)
  string(REGEX MATCHALL "`[A-Za-z0-9_.*/-]+/[A-Za-z0-9_.*/-]*`" quoted "${text}")
  set(missing "")
  set(count 0)
  foreach(item IN LISTS quoted)
    string(REPLACE "`" "" path "${item}")
    math(EXPR count "${count} + 1")
    if(path MATCHES "[*]")
      file(GLOB found "${SOURCE}/${path}")
    elseif(EXISTS "${SOURCE}/${path}")
      set(found yes)
    else()
      set(found "")
    endif()
    if(NOT found)
      list(APPEND missing "${path}")
    endif()
  endforeach()
  if(missing)
    message(FATAL_ERROR "ARCHITECTURE.md names what the tree does not have: ${missing}")
  endif()
  message(STATUS "ARCHITECTURE.md: ${count} paths, all there")
elseif(CHECK STREQUAL "session")
  file(READ "${SOURCE}/README.md" readme)
  file(READ "${SOURCE}/tests/transcripts/typical.out" transcript)
  string(FIND "${readme}" "\n## A session\n" start)
  if(start LESS 0)
    message(FATAL_ERROR "README.md has no section 'A session'")
  endif()
  string(SUBSTRING "${readme}" ${start} -1 section)
  string(FIND "${section}" "```\n" open)
  math(EXPR open "${open} + 4")
  string(SUBSTRING "${section}" ${open} -1 section)
  string(FIND "${section}" "```\n" close)
  string(SUBSTRING "${section}" 0 ${close} session)
  string(LENGTH "${session}" length)
  string(LENGTH "${transcript}" total)
  math(EXPR from "${total} - ${length}")
  if(length EQUAL 0 OR from LESS 0)
    message(FATAL_ERROR "the README's session is empty or longer than the transcript")
  endif()
  string(SUBSTRING "${transcript}" ${from} -1 ending)
  if(NOT ending STREQUAL session)
    message(FATAL_ERROR "the README's session is not the end of tests/transcripts/typical.out:\n"
      "${session}")
  endif()
  message(STATUS "the README's session is the transcript's last ${length} bytes")
elseif(CHECK STREQUAL "numbers")
  set(failures "")
  set(capacity "kCapacity = ([0-9]+);")
  check_number(analysis/beam.h "${capacity}" 1 doc/beam.1.in
    "A unit longer than @ bytes is cut to its first @ bytes")
  check_number(analysis/beam.h "${capacity}" 1 doc/robustness.md "unit words keep @ bytes")
  check_number(app/scan.h "kKeptDigits = ([0-9]+);" 1 doc/robustness.md
    "numbers keep @ significant digits")
  set(shown "kSignificantDigits = ([0-9]+);")
  check_number(analysis/number_format.h "${shown}" 1 doc/beam.1.in
    "Every number is written with @word significant digits")
  check_number(analysis/number_format.h "${shown}" 1 doc/robustness.md "(4096 doubles, `%.@g`)")
  check_number(analysis/number_format.h "${shown}" 1 ARCHITECTURE.md "`kSignificantDigits` (@)")
  # The manual's examples of numbers as written are formatValue's worked
  # examples (a unit test checks those).
  foreach(example "1000000.0;one million is written @" "0.000015;0.000015 is written @")
    list(GET example 0 value)
    list(GET example 1 sentence)
    string(REPLACE "." "[.]" value "${value}")
    check_number(analysis/number_format.h "[{]${value}, \"([^\"]+)\"[}]" TEXT doc/beam.1.in
      "${sentence}")
  endforeach()
  set(escape "kEscapeFollowMs = ([0-9]+);")
  check_number(app/posix/key_wait_timing.h "${escape}" 1 doc/beam.1.in
    "followed by a key within @ ms" "Esc alone ends the wait @ ms after it is pressed")
  check_number(app/posix/key_wait_timing.h "${escape}" 1 README.md "Esc's @ ms")
  check_number(app/posix/key_wait_timing.h "kSequenceFollowMs = ([0-9]+);" 1 doc/beam.1.in
    "its rest may come up to @ ms late")
  set(quiet "kQuietMs = ([0-9]+);")
  set(burst "kBurstMs = ([0-9]+);")
  check_number(app/posix/key_wait_timing.h "${quiet}" 1 doc/beam.1.in "nothing more has arrived for @ ms")
  check_number(app/posix/key_wait_timing.h "${quiet}" 1 app/key_wait.h "input has been quiet for @ ms")
  foreach(document doc/beam.1.in app/key_wait.h)
    check_number(app/posix/key_wait_timing.h "${burst}" 1 ${document} "for @ ms at most")
  endforeach()
  # What a driver may rely on: the closing line and the note on an unread
  # answer, in the manual as the code writes them.
  check_number(app/run.cpp "reportLine[(][{]\"([^\"]+)\"[}]" TEXT doc/beam.1.in
    "everything up to and including the line \\(lq@\\(rq is written before the wait reads any key")
  check_number(app/answer_note.cpp "\" (It and the answers after it [^\"]+)\"" TEXT doc/beam.1.in
    "is not a number: \"x\". @\\(rq")
  check_number(app/answer_note.cpp "if [(]typed[)] note [+]= \" ([^\"]+)\"" TEXT doc/beam.1.in
    "the line ends \\(lq@\\(rq")
  check_number(app/answer_note.cpp "note = \"(beam: )\"" TEXT doc/beam.1.in
    "one line on standard error, beginning \\(lq@\\(rq")
  check_number(analysis/report.h "kVerticalReportLines = ([0-9]+);" 1 doc/beam.1.in
    "The report has @ lines up to that block")
  check_number(analysis/horizontal_report.cpp "NoForces:[ \n]*return ([0-9]+);" 1 doc/beam.1.in
    "the block has @ lines when there is no horizontal force")
  check_number(analysis/horizontal_report.cpp "AxOnly:[ \n]*return ([0-9]+);" 1 doc/beam.1.in
    ", @ with a force at A only or at B only")
  check_number(analysis/horizontal_report.cpp "BothForces:[ \n]*return ([0-9]+);" 1
    doc/beam.1.in "and @ with both")
  check_number(text/figure.h "std::array<std::string_view, ([0-9]+)> kFigureRows" 1 doc/beam.1.in
    "a drawing of the beam in @ rows")
  check_number(web/sw.js "PATIENCE_MS = ([0-9]+);" 1000 web/README.txt "costs about @ s")
  check_number(web/final_key.js "QUIET_MS = ([0-9]+);" 1000 web/README.txt
    "for @ s after the report is written")
  check_number(tests/web/page_size_test.js "MOST_SENT = ([0-9]+);" 1000 doc/building.md
    "the page's size (@ KB as sent")
  check_number(tests/web/page_size_test.js "MOST_GZIPPED = ([0-9]+);" 1000 doc/building.md
    "@ KB gzipped at most")
  if(failures)
    string(REPLACE ";" "\n  " failures "${failures}")
    message(FATAL_ERROR "numbers the documents state that the code does not:\n  ${failures}")
  endif()
  message(STATUS "every number the documents state is the code's")
elseif(CHECK STREQUAL "names")
  # The code's text: every source, script and build file outside doc/,
  # tests/docs/ and the build folders (no document, so a name that only
  # documents keep fails).
  file(GLOB folders LIST_DIRECTORIES true RELATIVE "${SOURCE}" "${SOURCE}/*" "${SOURCE}/.ci")
  set(patterns "")
  foreach(folder IN LISTS folders)
    if(IS_DIRECTORY "${SOURCE}/${folder}" AND NOT folder MATCHES "^(build.*|doc|node_modules)$")
      list(APPEND tree "${folder}")
      foreach(extension h cpp js cjs cmake txt sh html css json webmanifest svg in)
        list(APPEND patterns "${SOURCE}/${folder}/*.${extension}")
      endforeach()
    endif()
  endforeach()
  file(GLOB_RECURSE sources RELATIVE "${SOURCE}" ${patterns})
  file(GLOB top RELATIVE "${SOURCE}" "${SOURCE}/*.txt" "${SOURCE}/*.json" "${SOURCE}/*.cjs"
    "${SOURCE}/.ci/run")
  set(code "")
  foreach(source IN LISTS sources top)
    if(NOT source MATCHES "^(web/README[.]txt|tests/(fuzz/corpus|transcripts|docs)/.*)$")
      file(READ "${SOURCE}/${source}" text)
      string(APPEND code "${text}")
    endif()
  endforeach()
  file(GLOB documents RELATIVE "${SOURCE}" "${SOURCE}/*.md" "${SOURCE}/doc/*.md")
  set(missing "")
  set(count 0)
  foreach(document IN LISTS documents)
    file(READ "${SOURCE}/${document}" text)
    string(REGEX REPLACE "[][;]" "!" text "${text}")
    string(REGEX REPLACE "\n```[^`]*\n```" "" text "${text}")
    string(REGEX MATCHALL "`[^`]*`" spans "${text}")
    foreach(span IN LISTS spans)
      if(span MATCHES "^`-" OR NOT span MATCHES "^`([A-Za-z0-9_.:/*()~+-]+)`$")
        continue()
      endif()
      string(REGEX REPLACE "[(][)]$" "" name "${CMAKE_MATCH_1}")
      if(name MATCHES "/")
        string(REGEX REPLACE "/.*" "" first "${name}")
        if(NOT first IN_LIST tree)
          continue()
        endif()
        file(GLOB found "${SOURCE}/${name}")
        if(NOT found AND NOT EXISTS "${SOURCE}/${name}")
          list(APPEND missing "${document}: ${name}")
        endif()
      elseif(NOT name MATCHES "-" AND name MATCHES "[.][A-Za-z][A-Za-z0-9]*$|_|[a-z][A-Z]")
        string(FIND "${code}" "${name}" at)
        file(GLOB found "${SOURCE}/${name}")
        foreach(folder IN LISTS tree)
          if(at LESS 0 AND NOT found)
            file(GLOB_RECURSE found "${SOURCE}/${folder}/${name}")
          endif()
        endforeach()
        if(at LESS 0 AND NOT found)
          list(APPEND missing "${document}: ${name}")
        endif()
      else()
        continue()
      endif()
      math(EXPR count "${count} + 1")
    endforeach()
  endforeach()
  if(missing)
    string(REPLACE ";" "\n  " missing "${missing}")
    message(FATAL_ERROR "names the documents give that the tree does not have:\n  ${missing}")
  endif()
  message(STATUS "${count} names in the documents, all in the tree")
else()
  message(FATAL_ERROR "CHECK must be architecture, session, numbers or names")
endif()
