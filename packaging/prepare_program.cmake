# Run by CPack for each package once the files are staged: the program loses
# its debugging information and is signed when a certificate is set.
file(GLOB_RECURSE program "${CPACK_TEMPORARY_DIRECTORY}/*station.exe")
if(NOT program)
  message(FATAL_ERROR "no station.exe staged in ${CPACK_TEMPORARY_DIRECTORY}")
endif()

# A little-endian 32-bit number of a file, at a byte offset.
function(read_le32 file offset out)
  file(READ ${file} hex OFFSET ${offset} LIMIT 4 HEX)
  string(REGEX REPLACE "^(..)(..)(..)(..)$" "0x\\4\\3\\2\\1" hex "${hex}")
  math(EXPR value "${hex}")
  set(${out} ${value} PARENT_SCOPE)
endfunction()

# strip writes the time of day into the program's header unless
# SOURCE_DATE_EPOCH says otherwise: the link time it had keeps every package
# holding the same bytes.
read_le32(${program} 60 pe_header)
math(EXPR stamp_offset "${pe_header} + 8")
read_le32(${program} ${stamp_offset} link_time)
execute_process(COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${link_time}
                        ${CPACK_STATION_STRIP} --strip-all ${program}
                COMMAND_ERROR_IS_FATAL ANY)
set(FILE ${program})
include(${CPACK_STATION_SIGN_SCRIPT})
