# Run by CPack after it packs a tarball or a zip, when SOURCE_DATE_EPOCH is
# set: the archive is made again from the staged tree with its members in
# name order, owned by root (0/0), at that time, and with no time stamp in
# the gzip header, so that two builds of one commit give the same bytes
# whoever builds them and wherever. (The Debian package needs none of this:
# CPack orders its members, owns them by root and dates them itself.)
# Needs GNU tar and gzip for the tarball, Info-ZIP's zip for the zip.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} OR NOT CPACK_GENERATOR MATCHES "^(TGZ|ZIP)$")
  return()
endif()
set(epoch $ENV{SOURCE_DATE_EPOCH})
get_filename_component(top ${CPACK_TEMPORARY_DIRECTORY} DIRECTORY)
get_filename_component(name ${CPACK_TEMPORARY_DIRECTORY} NAME)
list(GET CPACK_PACKAGE_FILES 0 package)
file(REMOVE ${package})
if(CPACK_GENERATOR STREQUAL "TGZ")
  execute_process(
    COMMAND tar --sort=name --owner=0 --group=0 --numeric-owner --mtime=@${epoch}
            --format=gnu -cf - ${name}
    COMMAND gzip -9n
    WORKING_DIRECTORY ${top} OUTPUT_FILE ${package} COMMAND_ERROR_IS_FATAL ANY)
else()
  # Member times are stored as local time: read them in UTC. -X: no owner
  # or extra time fields; -D: no folder entries.
  file(GLOB_RECURSE members RELATIVE ${top} ${CPACK_TEMPORARY_DIRECTORY}/*)
  list(SORT members)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC0 zip -q -X -D -9 ${package} ${members}
    WORKING_DIRECTORY ${top} COMMAND_ERROR_IS_FATAL ANY)
endif()
message(STATUS "beam: ${name} packed again in name order, owned by root, dated ${epoch}")
