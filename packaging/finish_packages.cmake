# Run by CPack after each package is made: the installer is signed (its
# uninstaller was, as it was made), and the zip's files are kept beside the
# packages as they went in.
if(CPACK_GENERATOR STREQUAL "NSIS")
  foreach(FILE ${CPACK_PACKAGE_FILES})
    include(${CPACK_STATION_SIGN_SCRIPT})
  endforeach()
elseif(CPACK_GENERATOR STREQUAL "ZIP")
  # The zip made again from the same files with its folder's own entry, which
  # CPack leaves out, each entry dated alike.
  get_filename_component(staging ${CPACK_TEMPORARY_DIRECTORY} DIRECTORY)
  foreach(zip ${CPACK_PACKAGE_FILES})
    file(REMOVE ${zip})
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip "--mtime=2024-01-01 00:00:00 UTC"
                            ${CPACK_PACKAGE_FILE_NAME}
                    WORKING_DIRECTORY ${staging} COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  set(kept ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME})
  file(REMOVE_RECURSE ${kept})
  file(COPY ${CPACK_TEMPORARY_DIRECTORY}/ DESTINATION ${kept})
endif()
