# Copies a script without its last line's source map comment, so that no
# browser asks for a .map file the page does not ship.
# Usage: cmake -DIN=file.js -DOUT=copy.js -P strip_source_map.cmake
file(READ ${IN} text)
string(REGEX REPLACE "\n//# sourceMappingURL=[^\n]*\n?$" "\n" text "${text}")
file(WRITE ${OUT} "${text}")
