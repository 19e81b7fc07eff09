# Run by CPack on the staged tree before it packs it, for the Debian package
# only: it needs dpkg-shlibdeps (the package's dependencies) and file; the
# documentation gains the copyright file (the license text, which then lives
# there alone) and the compressed changelog, and the manual page is compressed
# (gzip -9n: no name or time stamp inside).
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
foreach(tool dpkg-shlibdeps file)
  find_program(beam_${tool} ${tool} NO_CACHE NO_CMAKE_SYSTEM_PATH NO_CMAKE_INSTALL_PREFIX)
  if(NOT beam_${tool})
    message(FATAL_ERROR "beam: the Debian package needs '${tool}', which is not installed "
      "(Debian/Ubuntu: apt install dpkg-dev file); without it the package would have no "
      "dependencies.")
  endif()
endforeach()
if(CPACK_DEBIAN_PACKAGE_ARCHITECTURE)  # a cross build: dpkg-shlibdeps runs later
  set(ENV{DEB_HOST_ARCH} ${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
endif()
message(STATUS "beam: adding the Debian copyright and changelog, compressing the manual page")
set(root ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${root}/${CPACK_BEAM_DOC_DIR})
file(READ ${CPACK_BEAM_SOURCE_DIR}/LICENSE license)
file(WRITE ${doc}/copyright
  "beam: support reactions of a beam under a triangular load.\n\nLicense: MIT (Expat)\n\n${license}")
file(REMOVE ${doc}/LICENSE)
file(COPY ${CPACK_BEAM_SOURCE_DIR}/doc/changelog DESTINATION ${doc})
foreach(file ${doc}/changelog ${root}/${CPACK_BEAM_MAN_DIR}/man1/beam.1)
  execute_process(COMMAND gzip -9nf ${file} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
