# Run by CPack on the staged tree before it packs it. For the Debian package:
# the documentation gains the copyright file (made from LICENSE) and the compressed changelog,
# and the manual page is compressed (gzip -9n: no name or time stamp inside,
# so the package is reproducible). Other generators keep the tree as it is.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(root ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${root}/${CPACK_BEAM_DOC_DIR})
file(READ ${CPACK_BEAM_SOURCE_DIR}/LICENSE license)
file(WRITE ${doc}/copyright
  "beam: support reactions of a beam under a triangular load.\n\nLicense: MIT (Expat)\n\n${license}")
file(COPY ${CPACK_BEAM_SOURCE_DIR}/doc/changelog DESTINATION ${doc})
foreach(file ${doc}/changelog ${root}/${CPACK_BEAM_MAN_DIR}/man1/beam.1)
  execute_process(COMMAND gzip -9nf ${file} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
