# Run by CPack on the staged tree before it packs it, for every package: with
# SOURCE_DATE_EPOCH set (reproducible-builds.org), every file and folder gets
# that time, so the archive's member times do not depend on when it was built.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  return()
endif()
file(GLOB_RECURSE staged LIST_DIRECTORIES TRUE ${CPACK_TEMPORARY_DIRECTORY}/*)
execute_process(COMMAND touch -h -d @$ENV{SOURCE_DATE_EPOCH} ${CPACK_TEMPORARY_DIRECTORY} ${staged}
  COMMAND_ERROR_IS_FATAL ANY)
