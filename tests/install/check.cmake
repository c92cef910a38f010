# Installs the project into a scratch prefix, then configures and builds a small program that
# finds it with find_package(Zarn) and links each backend.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
                RESULT_VARIABLE r OUTPUT_QUIET)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "install failed: ${r}")
endif()
foreach(f include/zarn/zarn.h include/zarn/display/display.h include/zarn/platform/headless/headless.h
          bin/zarn-tennis share/zarn-tennis/TennisBackground.BMP share/zarn-tennis/Welcome.WAV
          share/applications/zarn-tennis.desktop)
  if(NOT EXISTS ${WORK_DIR}/prefix/${f})
    message(FATAL_ERROR "missing after install: ${f}")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/install/consumer -B ${WORK_DIR}/build
                -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix -DCMAKE_BUILD_TYPE=Release
                RESULT_VARIABLE r)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "consumer configure failed: ${r}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build RESULT_VARIABLE r)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "consumer build failed: ${r}")
endif()
execute_process(COMMAND ${WORK_DIR}/build/consumer_headless RESULT_VARIABLE r)
if(NOT r EQUAL 0)
  message(FATAL_ERROR "consumer run failed: ${r}")
endif()
