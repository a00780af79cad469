# CPack reads this once per generator, after the variables of the command
# line: the installer is named for what it is, and its uninstaller is signed
# as makensis makes it when the packages are signed.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
set(CPACK_STATION_UNINSTALLER_SIGNING "")
if(CPACK_STATION_SIGNING_CERTIFICATE)
  set(CPACK_STATION_UNINSTALLER_SIGNING
      "!uninstfinalize '\"${CPACK_STATION_CMAKE}\" -DFILE=\"%1\" -DCPACK_STATION_OSSLSIGNCODE=\"${CPACK_STATION_OSSLSIGNCODE}\" -DCPACK_STATION_SIGNING_CERTIFICATE=\"${CPACK_STATION_SIGNING_CERTIFICATE}\" -DCPACK_STATION_TIMESTAMP_URL=\"${CPACK_STATION_TIMESTAMP_URL}\" -P \"${CPACK_STATION_SIGN_SCRIPT}\"'")
endif()
