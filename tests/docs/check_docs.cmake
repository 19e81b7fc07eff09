# Keeps the documents true to the tree: the docs.* tests. Run with cmake -P,
# SOURCE set to the project's root and CHECK to one of:
#   architecture  every path ARCHITECTURE.md names in backticks exists (a
#                 pattern with * matches at least one file)
#   session       README.md's sample session is the end of the typical
#                 run's transcript, byte for byte
#   numbers       every number the manual, the READMEs, doc/ and the
#                 contracts state for a user is the one in the code: each
#                 row below reads the number where the code has it, then
#                 looks for each sentence with it (white space and line
#                 ends folded) in the document that states it
#   names         every name in backticks in README.md, CONTRIBUTING.md,
#                 ARCHITECTURE.md and doc/*.md that looks like code is in
#                 the tree; each one missing is printed as FILE:LINE: name.
#                 A span is a name only when it holds nothing but letters,
#                 digits and _ . : / * ( ) ~ + - and does not start with -
#                 (so no command, option, HTML or CSS); fenced blocks are
#                 skipped. A trailing () is dropped. Then:
#                   - a path (with /) whose first folder is one of the
#                     tree's (doc/ too) exists (with *, matches a file); a
#                     path under a build folder, the installed tree or a
#                     package's folder, an absolute path and a URL are not
#                     checked; any other first folder fails (ap/run.h);
#                   - a name without - that is a file name (a.b, a letter
#                     after the last dot) or has _, :: or a small letter then
#                     a capital (formatValue, kQuietMs, FileSource, BM_report,
#                     UnitWord::kCapacity, window.beamOutput) is a file of
#                     the tree or appears whole in the code's text (sources,
#                     scripts and build files, not doc/ nor node_modules):
#                     solveBeam does not pass for solveBeamNow;
#                   - anything else is not checked: words, commands, plain
#                     lower-case or capitalised names (fail, Output), and
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
  check_number(app/posix/key_wait_timing.h "${quiet}" 1 doc/beam.1.in "nothing more has arrived for @ ms"
    "rest of a character must come within @ ms")
  check_number(app/posix/key_wait_timing.h "${quiet}" 1 app/key_wait.h "input has been quiet for @ ms"
    "its rest is given @ ms")
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
  # The page's limits, also checked by web.size (which needs the web build).
  check_number(tests/web/page_size_test.js "MOST_SENT = ([0-9]+);" 1000 doc/web.md
    "fail the page above @ KB as sent")
  check_number(tests/web/page_size_test.js "MOST_GZIPPED = ([0-9]+);" 1000 doc/web.md
    "or @ KB gzipped for a first visit")
  if(failures)
    string(REPLACE ";" "\n  " failures "${failures}")
    message(FATAL_ERROR "numbers the documents state that the code does not:\n  ${failures}")
  endif()
  message(STATUS "every number the documents state is the code's")
elseif(CHECK STREQUAL "names")
  # The tree's folders: every top-level folder but .git, the build folders
  # and node_modules. Paths under them must exist; the code's text is every
  # source, script and build file in them but doc/ (no document, so a name
  # that only documents keep fails). node_modules is left out at any depth:
  # third-party code is not the project's, and reading it is slow.
  file(GLOB top LIST_DIRECTORIES true RELATIVE "${SOURCE}" "${SOURCE}/*")
  set(tree "")
  foreach(entry IN LISTS top)
    if(IS_DIRECTORY "${SOURCE}/${entry}" AND NOT entry MATCHES "^([.]git|build.*|node_modules)$")
      list(APPEND tree "${entry}")
    endif()
  endforeach()
  set(files "")
  set(pending ${tree})
  while(pending)
    list(POP_FRONT pending folder)
    file(GLOB entries LIST_DIRECTORIES true RELATIVE "${SOURCE}" "${SOURCE}/${folder}/*")
    foreach(entry IN LISTS entries)
      if(NOT IS_DIRECTORY "${SOURCE}/${entry}")
        list(APPEND files "${entry}")
      elseif(NOT entry MATCHES "/node_modules$")
        list(APPEND pending "${entry}")
      endif()
    endforeach()
  endwhile()
  foreach(entry IN LISTS top)
    if(NOT IS_DIRECTORY "${SOURCE}/${entry}")
      list(APPEND files "${entry}")
    endif()
  endforeach()
  list(TRANSFORM files REPLACE "^.*/" "" OUTPUT_VARIABLE file_names)
  set(extensions "h|cpp|js|cjs|cmake|txt|sh|html|css|json|webmanifest|svg|in")
  set(code "")
  foreach(file IN LISTS files)
    if((file MATCHES "[.](${extensions})$" OR file STREQUAL ".ci/run")
        AND NOT file MATCHES "^(doc/|web/README[.]txt|tests/(fuzz/corpus|transcripts|docs)/)")
      file(READ "${SOURCE}/${file}" text)
      string(APPEND code "${text}\n")
    endif()
  endforeach()
  # The code's identifiers, each once: a name is looked up whole, never as a
  # part of a longer one.
  string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*" identifiers "${code}")
  list(REMOVE_DUPLICATES identifiers)
  # Paths that are not the tree's: the build folders, the installed tree
  # (bin/, share/), the packages' folders (beam-1.0.0-...), the unit kN/m.
  set(outside "^(build.*|bin|share|beam-.*|kN)$")

  file(GLOB documents RELATIVE "${SOURCE}" "${SOURCE}/*.md" "${SOURCE}/doc/*.md")
  set(missing "")
  set(count 0)
  foreach(document IN LISTS documents)
    file(READ "${SOURCE}/${document}" text)
    # Fenced blocks become empty lines, then the text splits at each
    # backtick: every other piece is a span. Lines are counted as it goes.
    string(REGEX REPLACE "[][;\\]" "!" text "${text}\n")
    string(REGEX MATCHALL "[^\n]*\n" lines "${text}")
    set(text "")
    set(fenced NO)
    foreach(line IN LISTS lines)
      if(line MATCHES "^ *```")
        set(line "\n")
        if(fenced)
          set(fenced NO)
        else()
          set(fenced YES)
        endif()
      elseif(fenced)
        set(line "\n")
      endif()
      string(APPEND text "${line}")
    endforeach()
    string(REPLACE "`" ";" pieces "${text}")
    set(number 1)
    set(inside NO)
    foreach(piece IN LISTS pieces)
      set(span "${piece}")
      set(span_inside ${inside})
      string(REPLACE "\n" "" flat "${piece}")
      string(LENGTH "${piece}" before)
      string(LENGTH "${flat}" after)
      set(line ${number})
      math(EXPR number "${number} + ${before} - ${after}")
      if(inside)
        set(inside NO)
      else()
        set(inside YES)
      endif()
      if(NOT span_inside OR span MATCHES "^-" OR NOT span MATCHES "^[A-Za-z0-9_.:/*()~+-]+$")
        continue()
      endif()
      string(REGEX REPLACE "[(][)]$" "" name "${span}")
      set(found YES)
      if(name MATCHES "^/|^[a-z]+:")
        continue()  # a system's path or an option (/usr/local, /WX), a URL
      elseif(name MATCHES "/")
        string(REGEX REPLACE "/.*" "" first "${name}")
        if(first MATCHES "${outside}")
          continue()
        elseif(NOT first IN_LIST tree)
          set(found "")  # a misspelt folder (ap/run.h, apps/)
        elseif(NOT EXISTS "${SOURCE}/${name}")
          file(GLOB found "${SOURCE}/${name}")
        endif()
      elseif(name MATCHES "-" OR NOT name MATCHES "[.][A-Za-z][A-Za-z0-9]*$|_|[a-z][A-Z]|::")
        continue()  # words, commands, names the build makes
      elseif(name MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
        if(NOT name IN_LIST identifiers AND NOT name IN_LIST file_names)
          set(found "")
        endif()
      elseif(NOT name IN_LIST file_names)
        # A compound name (UnitWord::kCapacity, window.beamOutput, sw.js):
        # in the code's text, not inside a longer name.
        string(REGEX REPLACE "[.+*()]" "[\\0]" pattern "${name}")
        if(name MATCHES "^[A-Za-z0-9_]")
          set(pattern "(^|[^A-Za-z0-9_])${pattern}")
        endif()
        if(name MATCHES "[A-Za-z0-9_]$")
          set(pattern "${pattern}([^A-Za-z0-9_]|$)")
        endif()
        if(NOT code MATCHES "${pattern}")
          set(found "")
        endif()
      endif()
      if(NOT found)
        list(APPEND missing "${document}:${line}: ${name}")
      endif()
      math(EXPR count "${count} + 1")
    endforeach()
  endforeach()
  if(missing)
    foreach(failure IN LISTS missing)
      message(NOTICE "${failure}")
    endforeach()
    list(JOIN tree ", " folders)
    message(FATAL_ERROR "names the documents give that the tree does not have (above). A name "
      "in backticks that looks like code must be the project's: a whole name in its code (not "
      "only in a document), or a path under one of its folders (${folders}) that exists. Write "
      "a name that is not the project's (a system's, a browser's, another program's) without "
      "backticks.")
  endif()
  message(STATUS "${count} names in the documents, all in the tree")
else()
  message(FATAL_ERROR "CHECK must be architecture, session, numbers or names")
endif()
