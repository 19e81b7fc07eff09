# Packages made with CPack from the installed tree:
#   cpack -G DEB   a Debian package (Linux build)
#   cpack -G TGZ   a tarball; with -DBEAM_STATIC=ON its beam runs on any Linux of
#                  its processor (x86-64, or aarch64 with cmake/aarch64-linux-gnu.cmake)
#   cpack -G ZIP   beam.exe with README and LICENSE (MinGW-w64 build)
set(CPACK_PACKAGE_NAME beam)
set(CPACK_PACKAGE_VENDOR "the beam authors")
set(CPACK_PACKAGE_CONTACT "The beam authors <beam-authors@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "support reactions of a beam under a triangular load")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")

# The default generator for each system (cpack -G picks another): ZIP for
# Windows, a tarball for the static build and for systems without dpkg, DEB
# for the usual Linux build.
string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" beam_system)
if(EMSCRIPTEN)
  set(beam_system web)
  set(CPACK_GENERATOR ZIP)
elseif(WIN32)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    set(beam_system win64)
  elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86|X86)$")
    set(beam_system win32)
  else()
    string(TOLOWER "windows-${CMAKE_SYSTEM_PROCESSOR}" beam_system)
  endif()
  set(CPACK_GENERATOR ZIP)
elseif(BEAM_STATIC)
  string(APPEND beam_system -static)
  set(CPACK_GENERATOR TGZ)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_GENERATOR DEB)
else()
  set(CPACK_GENERATOR TGZ)
endif()
set(CPACK_SYSTEM_NAME ${beam_system})

# Debian: the package installs under /usr; copyright and a compressed
# changelog join the documentation and the manual page is compressed, by the
# script run on the staged tree before packing.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A cross build names its architecture (the toolchain file sets it); the
# host's dpkg would name its own. dpkg-shlibdeps is then told the same, so
# that it reads the target's libraries (installed as libc6:arm64 and so on).
if(CMAKE_CROSSCOMPILING AND BEAM_DEBIAN_ARCHITECTURE)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${BEAM_DEBIAN_ARCHITECTURE})
endif()
# The synopsis comes from the summary; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "beam solves one textbook statics problem at the console: a beam of length L,
pinned at its left end and resting on a rocker at its right end, carries a
triangular load whose tall side stands over the pin, with optional horizontal
forces at both supports. It asks for the length, the load, the two horizontal
forces and three unit words, then writes the working step by step: the total
load and where it acts, the moments about the pin, the two vertical reactions
and what the horizontal forces amount to.")
set(CPACK_BEAM_DOC_DIR ${CMAKE_INSTALL_DOCDIR})
set(CPACK_BEAM_MAN_DIR ${CMAKE_INSTALL_MANDIR})
set(CPACK_BEAM_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PRE_BUILD_SCRIPTS
  ${PROJECT_SOURCE_DIR}/cmake/BeamDebianTree.cmake
  ${PROJECT_SOURCE_DIR}/cmake/BeamFixedTimes.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/BeamFixedArchive.cmake)

include(CPack)
