# The examples built from their installed sources, as libzarn-dev gives them: the headers, the
# libraries with the CMake package, and the examples installed into a scratch prefix; the sprites
# example built there and run from an unrelated folder finds its art where the install put it,
# and with that folder gone it ends with 1, naming the picture and the folders it looked in.
# Variables: BUILD_DIR, WORK_DIR.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
foreach(component dev dev_lib examples)
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --component ${component}
                  RESULT_VARIABLE r OUTPUT_QUIET)
  if(NOT r EQUAL 0)
    message(FATAL_ERROR "installing ${component} failed: ${r}")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${prefix}/share/doc/zarn/examples -B ${WORK_DIR}/build
                -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release RESULT_VARIABLE r OUTPUT_QUIET)
if(r EQUAL 0)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build --target zarn-example-sprites
                  RESULT_VARIABLE r OUTPUT_QUIET)
endif()
if(NOT r EQUAL 0)
  message(FATAL_ERROR "building the installed sprites example failed: ${r}")
endif()

file(MAKE_DIRECTORY ${WORK_DIR}/elsewhere)
set(data ${prefix}/share/zarn/examples/sprites)
foreach(run found missing)
  if(run STREQUAL "missing")
    file(RENAME ${data} ${data}-gone)
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
                  ${WORK_DIR}/build/zarn-example-sprites --frames 5
                  WORKING_DIRECTORY ${WORK_DIR}/elsewhere RESULT_VARIABLE r ERROR_VARIABLE err)
  if(run STREQUAL "found" AND NOT r EQUAL 0)
    message(FATAL_ERROR "the installed sprites example ended with ${r}: ${err}")
  endif()
  if(run STREQUAL "missing")
    string(FIND "${err}" "backdrop.bmp" file_named)
    string(FIND "${err}" "${data}" folder_named)
    if(NOT r EQUAL 1 OR file_named EQUAL -1 OR folder_named EQUAL -1)
      message(FATAL_ERROR "without its art the sprites example ended with ${r} and said '${err}', expected 1, "
                          "backdrop.bmp and ${data}")
    endif()
  endif()
endforeach()
