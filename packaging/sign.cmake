# Signs one Windows file in place with the code-signing certificate, SHA-256
# (cmake -P, or include()d with FILE set). Nothing happens without a
# certificate. Variables: FILE, CPACK_STATION_OSSLSIGNCODE,
# CPACK_STATION_SIGNING_CERTIFICATE, CPACK_STATION_TIMESTAMP_URL; the
# password comes from the environment (STATION_SIGNING_PASSWORD).
if(NOT CPACK_STATION_SIGNING_CERTIFICATE)
  return()
endif()
if(NOT CPACK_STATION_OSSLSIGNCODE)
  message(FATAL_ERROR "signing needs osslsigncode (Debian's package of that name)")
endif()
set(timestamp "")
if(CPACK_STATION_TIMESTAMP_URL)
  set(timestamp -ts ${CPACK_STATION_TIMESTAMP_URL})
endif()
execute_process(
  COMMAND ${CPACK_STATION_OSSLSIGNCODE} sign -pkcs12 ${CPACK_STATION_SIGNING_CERTIFICATE}
          -pass "$ENV{STATION_SIGNING_PASSWORD}" -h sha256 -n "汀蔚网络视听台" ${timestamp}
          -in ${FILE} -out ${FILE}.signed
  RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  file(REMOVE ${FILE}.signed)
  message(FATAL_ERROR "could not sign ${FILE}")
endif()
file(RENAME ${FILE}.signed ${FILE})
