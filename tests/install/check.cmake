# Installs the project into a scratch prefix, then builds the installed getting-started program
# the two ways a user would: with find_package(Zarn) on each backend, and with pkg-config, in C++
# and in C. Each build runs a bounded number of frames on a picture and a sound installed beside it.
# Variables: SOURCE_DIR, BUILD_DIR, WORK_DIR, CXX and CC (the compilers for the pkg-config builds).
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE r OUTPUT_QUIET)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "install failed: ${r}")
endif()

# run(WHAT COMMAND...): runs a command in WORK_DIR and fails the check unless it exits with 0.
function(run what)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE r)
  if(NOT r EQUAL 0)
    message(FATAL_ERROR "${what} failed: ${r}")
  endif()
endfunction()

set(guide ${prefix}/share/doc/zarn/getting_started)
foreach(f include/zarn/zarn.h include/zarn/display/display.h include/zarn/platform/headless/headless.h
          lib/cmake/Zarn/ZarnConfig.cmake lib/pkgconfig/zarn.pc lib/pkgconfig/zarn-sdl.pc
          lib/pkgconfig/zarn-headless.pc
          share/doc/zarn/getting_started/CMakeLists.txt share/doc/zarn/getting_started/main.cpp
          share/doc/zarn/getting_started/main.c
          share/doc/zarn/getting_started/ball.bmp share/doc/zarn/getting_started/thwack.wav
          bin/zarn-tennis share/zarn-tennis/TennisBackground.BMP share/zarn-tennis/Welcome.WAV
          share/applications/zarn-tennis.desktop share/icons/hicolor/48x48/apps/zarn-tennis.png
          share/icons/hicolor/128x128/apps/zarn-tennis.png share/man/man6/zarn-tennis.6.gz
          share/metainfo/org.example.ZarnTennis.metainfo.xml)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "missing after install: ${f}")
  endif()
endforeach()
# Debian's layout and the packages' own files are for the packages only.
foreach(f games share/games share/doc/zarn-tennis share/doc/libzarn-dev)
  if(EXISTS ${prefix}/${f})
    message(FATAL_ERROR "installed although only the packages hold it: ${f}")
  endif()
endforeach()

# The headers: each compiles by itself as C++11 and as C11 from the include root alone, none is
# marked internal to a layer, and every function and global that C sees in one (all but the C++
# conveniences after the end of its extern "C" block) is defined with C linkage in an installed
# library: by its plain name, which nm shows only for C linkage.
file(READ ${prefix}/lib/cmake/Zarn/ZarnTargets.cmake targets)
if(targets MATCHES "include/zarn")
  message(FATAL_ERROR "the CMake package's targets reach below the include root")
endif()
find_program(NM nm REQUIRED)
file(GLOB_RECURSE libraries ${prefix}/lib/*.a)
execute_process(COMMAND ${NM} --defined-only ${libraries} OUTPUT_VARIABLE symbols)
string(REGEX MATCHALL "\n[0-9a-f]+ [A-Z] [A-Za-z_][A-Za-z0-9_]*" defined "${symbols}")
list(TRANSFORM defined REPLACE ".* " "")
file(GLOB_RECURSE headers RELATIVE ${prefix}/include ${prefix}/include/*.h)
set(units)
foreach(header ${headers})
  file(READ ${prefix}/include/${header} text)
  string(REGEX MATCH "^#pragma once\n(//[^\n]*\n)*" opening "${text}")
  if(opening MATCHES "Internal to ")
    message(FATAL_ERROR "installed although marked internal: ${header}")
  endif()
  string(REGEX REPLACE "\n}  // extern \"C\"\n.*" "" text "${text}")
  string(REGEX MATCHALL "\n[A-Za-z_][A-Za-z0-9_ *&]*[ *&][a-z_][a-z0-9_]*\\(" functions "${text}")
  string(REGEX MATCHALL "\nextern [^\n(;=[]*[ *][a-z_][a-z0-9_]*" globals "${text}")
  foreach(name ${functions} ${globals})
    string(REGEX REPLACE ".*[ *&]([a-z_0-9]+)\\(?$" "\\1" name "${name}")
    if(NOT name IN_LIST defined)
      message(FATAL_ERROR "${header} declares ${name}, which no installed library defines")
    endif()
  endforeach()
  string(MAKE_C_IDENTIFIER ${header} unit)
  file(WRITE ${WORK_DIR}/headers/${unit}.cpp "#include <${header}>\n")
  file(WRITE ${WORK_DIR}/headers/${unit}.c "#include <${header}>\n")
  list(APPEND units ${WORK_DIR}/headers/${unit}.cpp)
  list(APPEND c_units ${WORK_DIR}/headers/${unit}.c)
endforeach()
run("compiling each installed header as C++11"
    ${CXX} -std=c++11 -Wall -Wextra -pedantic -Werror -fsyntax-only -I${prefix}/include ${units})
run("compiling each installed header as C11"
    ${CC} -std=c11 -Wall -Wextra -pedantic -Werror -Wstrict-prototypes -fsyntax-only -I${prefix}/include ${c_units})

# find_package(Zarn): the installed getting-started project, once for each backend, and its two
# programs, C++ and C. The headless ones run 100 frames; the SDL ones 50 on SDL's dummy drivers,
# which need no display or sound. A project in C alone links the C program too, with the C++
# runtime the package names for it.
file(WRITE ${WORK_DIR}/c-only/CMakeLists.txt "cmake_minimum_required(VERSION 3.25)
project(COnly C)
find_package(Zarn REQUIRED)
add_executable(getting_started_c ${guide}/main.c)
target_link_libraries(getting_started_c PRIVATE Zarn::zarn Zarn::platform_\${ZARN_BACKEND})\n")
foreach(build headless sdl c-only)  # folder build-NAME
  set(source ${guide})
  set(backend ${build})
  if(build STREQUAL "c-only")
    set(source ${WORK_DIR}/c-only)
    set(backend headless)
  endif()
  run("configuring ${build} with the ${backend} backend"
      ${CMAKE_COMMAND} -S ${source} -B ${WORK_DIR}/build-${build} -DCMAKE_PREFIX_PATH=${prefix}
      -DCMAKE_BUILD_TYPE=Release -DZARN_BACKEND=${backend})
  run("building ${build}" ${CMAKE_COMMAND} --build ${WORK_DIR}/build-${build})
endforeach()
foreach(program build-headless/getting_started build-headless/getting_started_c build-c-only/getting_started_c)
  run("${program} on the headless backend" ${WORK_DIR}/${program} ${guide}/ball.bmp ${guide}/thwack.wav 100)
  execute_process(COMMAND ${WORK_DIR}/${program} ${guide}/missing.bmp ${guide}/thwack.wav 1
                  RESULT_VARIABLE r ERROR_VARIABLE err)
  if(NOT r EQUAL 1 OR NOT err MATCHES "missing.bmp")
    message(FATAL_ERROR "${program}: a missing picture gave ${r} and '${err}', expected 1 and its name")
  endif()
endforeach()
foreach(program getting_started getting_started_c)
  run("${program} on the SDL backend" ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
      ${WORK_DIR}/build-sdl/${program} ${guide}/ball.bmp ${guide}/thwack.wav 50)
endforeach()

# pkg-config: the files name the prefix installed into and its include root, and compile the same
# programs (C++17 for its std::clamp; C11 with the C++ runtime the files name).
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
execute_process(COMMAND ${PKG_CONFIG} --variable=prefix zarn OUTPUT_VARIABLE pc_prefix
                OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${PKG_CONFIG} --cflags zarn OUTPUT_VARIABLE pc_cflags OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT pc_prefix STREQUAL prefix OR NOT pc_cflags STREQUAL "-I${prefix}/include")
  message(FATAL_ERROR "zarn.pc names the prefix '${pc_prefix}' and the flags '${pc_cflags}', not ${prefix} "
                      "and its include root alone")
endif()
foreach(backend headless sdl)
  execute_process(COMMAND ${PKG_CONFIG} --cflags --libs zarn-${backend} OUTPUT_VARIABLE flags
                  RESULT_VARIABLE r OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT r EQUAL 0)
    message(FATAL_ERROR "pkg-config zarn-${backend} failed: ${r}")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  run("compiling with pkg-config zarn-${backend}"
      ${CXX} -std=c++17 ${guide}/main.cpp -o ${WORK_DIR}/pc-${backend} ${flags})
  run("compiling in C with pkg-config zarn-${backend}"
      ${CC} -std=c11 -Wall -Wextra -pedantic -Werror ${guide}/main.c -o ${WORK_DIR}/pc-c-${backend} ${flags})
endforeach()
foreach(program pc-headless pc-c-headless)
  run("the pkg-config program ${program} on the headless backend"
      ${WORK_DIR}/${program} ${guide}/ball.bmp ${guide}/thwack.wav 100)
endforeach()
