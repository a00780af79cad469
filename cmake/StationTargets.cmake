# Options shared by the project's own targets (not by GoogleTest or libjpeg).
set(STATION_WINDOWS OFF)
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(STATION_WINDOWS ON)
endif()

option(STATION_SANITIZE "Build the native tree with ASan and UBSan" ON)
# Off in a plain configure, so that a compiler's false alarm in a packager's
# build does not stop it; the test command (scripts/test.sh) and CI turn it on.
option(STATION_WERROR "Treat compiler warnings in the project's own code as errors" OFF)

function(station_options target)
  # Program text is GBK, as the settings files and manifests are.
  target_compile_options(${target} PRIVATE -Wall -Wextra -finput-charset=UTF-8 -fexec-charset=GBK)
  if(STATION_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/generated)
  if(STATION_WINDOWS)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  elseif(STATION_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()

if(STATION_WINDOWS)
  # One static executable that needs no DLL beyond Windows' own.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
