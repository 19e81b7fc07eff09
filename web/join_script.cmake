# Joins the page's script files, page-logic.js then beam-page.js, into one
# (cmake -DOUTPUT=FILE -P join_script.cmake), without what the browser does
# not need: whole-line comments, indentation and empty lines. The sources
# keep them; the page loads fewer bytes. (No line of these sources is inside
# a multi-line string, where that would change the text.)
set(joined "// The beam page's script, built from web/page-logic.js and web/beam-page.js.\n")
foreach(input page-logic.js beam-page.js)
  file(READ ${CMAKE_CURRENT_LIST_DIR}/${input} text)
  string(APPEND joined "\n${text}")
endforeach()
string(REGEX REPLACE "\n[ \t]*//[^\n]*" "" joined "${joined}")
string(REGEX REPLACE "\n[ \t]+" "\n" joined "${joined}")
string(REGEX REPLACE "\n\n+" "\n" joined "${joined}")
file(WRITE ${OUTPUT} "${joined}")
