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
  target_include_directories(${target} PUBLIC ${CMAKE_BINARY_DIR}/generated)
  if(STATION_WINDOWS)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  elseif(STATION_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()

# The program's layers (README, "Architecture") are kept apart twice over:
#  - station_layer(target folder): the library's headers are reachable as
#    "folder/name.h" only through an include root of the folder's own (a
#    directory in the build tree holding one link to src/folder). A library
#    sees its own root and those of the libraries it links, so an #include
#    of a layer above it does not compile.
#  - station_layer_alone(target): links a program from every object of the
#    library and what the library links, nothing else. A call into a layer
#    above (something declared low and defined high) is then an undefined
#    reference, and the build fails.
function(station_layer target folder)
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  if(NOT IS_SYMLINK ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()

function(station_layer_alone target)
  add_executable(${target}_alone ${PROJECT_SOURCE_DIR}/cmake/layer_alone.cpp)
  target_link_libraries(${target}_alone PRIVATE -Wl,--whole-archive ${target} -Wl,--no-whole-archive)
endfunction()

if(STATION_WINDOWS)
  # One static executable that needs no DLL beyond Windows' own.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
