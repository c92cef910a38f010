# GoogleTest for the tests. A native build uses the system's (libgtest-dev); a cross build for
# Windows compiles Debian's GoogleTest sources (package googletest, /usr/src/googletest) with the
# cross compiler into the build tree, which names its targets as the system's (GTest::gtest_main).
if(NOT (WIN32 AND CMAKE_CROSSCOMPILING))
  find_package(GTest REQUIRED)
  return()
endif()
set(ZARN_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources, for a cross build")
if(NOT EXISTS ${ZARN_GTEST_SOURCE_DIR}/googletest/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${ZARN_GTEST_SOURCE_DIR} (Debian: apt-get install googletest)")
endif()
set(INSTALL_GTEST OFF)
add_subdirectory(${ZARN_GTEST_SOURCE_DIR}/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
