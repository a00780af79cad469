# Makes the release packages from the run directory (cmake -P; the target
# "package" in CMakeLists.txt beside this file passes the variables):
#   PACKAGE_DIR/station-VERSION/            the staged files
#   PACKAGE_DIR/station-VERSION.zip         that folder, zipped
#   PACKAGE_DIR/station-VERSION-setup.exe   the NSIS installer
# Variables: RUNDIR, PACKAGE_DIR, VERSION, VERSION_MAJOR, VERSION_MINOR, STRIP,
# NSI, ICON, PYTHON.
cmake_minimum_required(VERSION 3.20)

foreach(var RUNDIR PACKAGE_DIR VERSION VERSION_MAJOR VERSION_MINOR STRIP NSI ICON PYTHON)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "package.cmake: ${var} is not set")
  endif()
endforeach()

set(name station-${VERSION})
set(stage ${PACKAGE_DIR}/${name})
set(zip ${PACKAGE_DIR}/${name}.zip)
set(installer ${PACKAGE_DIR}/${name}-setup.exe)

# What ships: the program, its default colours, the microblog pictures.
# Nothing the program writes beside itself (userini.user, ad.tingweiini,
# ad\) is taken, even if someone ran the program in the run directory.
file(GLOB pictures ${RUNDIR}/img/*.gif)
foreach(needed ${RUNDIR}/station.exe ${RUNDIR}/system.dll)
  if(NOT EXISTS ${needed})
    message(FATAL_ERROR "package.cmake: missing ${needed}")
  endif()
endforeach()
if(NOT pictures)
  message(FATAL_ERROR "package.cmake: no pictures in ${RUNDIR}/img")
endif()

file(REMOVE_RECURSE ${stage} ${zip} ${installer})
file(MAKE_DIRECTORY ${stage}/img)
file(COPY ${RUNDIR}/station.exe ${RUNDIR}/system.dll DESTINATION ${stage})
file(COPY ${pictures} DESTINATION ${stage}/img)
# A little-endian 32-bit number of a file, at a byte offset.
function(read_le32 file offset out)
  file(READ ${file} hex OFFSET ${offset} LIMIT 4 HEX)
  string(REGEX REPLACE "^(..)(..)(..)(..)$" "0x\\4\\3\\2\\1" hex "${hex}")
  math(EXPR value "${hex}")
  set(${out} ${value} PARENT_SCOPE)
endfunction()

# The run directory's program keeps its debugging information; the shipped
# one does not. strip writes the time of day into the program's header
# unless SOURCE_DATE_EPOCH says otherwise: the link time it had keeps the
# same program giving the same bytes.
read_le32(${RUNDIR}/station.exe 60 pe_header)
math(EXPR stamp_offset "${pe_header} + 8")
read_le32(${RUNDIR}/station.exe ${stamp_offset} link_time)
execute_process(COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${link_time} ${STRIP} --strip-all ${stage}/station.exe
                COMMAND_ERROR_IS_FATAL ANY)

# The same files give the same zip (make_zip.py).
execute_process(COMMAND ${PYTHON} ${CMAKE_CURRENT_LIST_DIR}/make_zip.py ${stage} ${zip} COMMAND_ERROR_IS_FATAL ANY)

find_program(MAKENSIS makensis)
if(NOT MAKENSIS)
  message(FATAL_ERROR "package.cmake: makensis not found (Debian's nsis package; scripts/setup.sh installs it)")
endif()
execute_process(
  COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8
          -DVERSION=${VERSION} -DVERSION_QUAD=${VERSION_MAJOR}.${VERSION_MINOR}.0.0
          -DSTAGE=${stage} -DICON=${ICON} -DOUTFILE=${installer} ${NSI}
  COMMAND_ERROR_IS_FATAL ANY)

foreach(out ${zip} ${installer})
  file(SIZE ${out} size)
  message(STATUS "${out} (${size} bytes)")
endforeach()
