# The development files: headers, static libraries, the CMake package and the pkg-config files.
# Components:
#   dev         the headers under include/zarn/ (and, from ZarnPackages.cmake, the getting-started
#               program), the same in every layout;
#   dev_lib     the libraries, the CMake package and the pkg-config files in CMAKE_INSTALL_LIBDIR
#               (lib/ below most prefixes), for `cmake --install`;
#   dev_debian  the same in Debian's multiarch folder (lib/x86_64-linux-gnu and the like), which
#               only the package installs.
# Each entry: component, then the folder below the prefix.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(ZARN_LIB_LAYOUTS "dev_lib:${CMAKE_INSTALL_LIBDIR}" "dev_debian:lib/${CMAKE_LIBRARY_ARCHITECTURE}")
else()
  set(ZARN_LIB_LAYOUTS "dev_lib:${CMAKE_INSTALL_LIBDIR}" "dev_debian:lib")
endif()

# The libraries are C++: what a C program links besides them, the C++ compiler's own libraries
# that the C compiler does not link (on GNU/Linux stdc++ and m), but for GCC's support library,
# which the C compiler links in its own form (MinGW's C++ compiler names the shared one, which a
# static program must not get). A C program of a project that enables C++ as well is linked by
# the C++ compiler (the installed targets say their code is C++), so the installed targets name
# these only to a link in C, and so do the pkg-config files.
set(ZARN_CXX_RUNTIME ${CMAKE_CXX_IMPLICIT_LINK_LIBRARIES})
if(ZARN_CXX_RUNTIME)
  list(REMOVE_ITEM ZARN_CXX_RUNTIME ${CMAKE_C_IMPLICIT_LINK_LIBRARIES})
  list(FILTER ZARN_CXX_RUNTIME EXCLUDE REGEX "^gcc(_s|_eh)?$")
  list(REMOVE_DUPLICATES ZARN_CXX_RUNTIME)
endif()

# zarn_lib_layout(ENTRY): sets component, libdir and only_asked (EXCLUDE_FROM_ALL for the
# package's layout) in the caller.
macro(zarn_lib_layout entry)
  string(REPLACE ":" ";" parts ${entry})
  list(GET parts 0 component)
  list(GET parts 1 libdir)
  set(only_asked)
  if(component STREQUAL "dev_debian")
    set(only_asked EXCLUDE_FROM_ALL)
  endif()
endmacro()

# zarn_install_library(TARGET NAME): installs the static library as libNAME.a in every layout,
# the target keeping its name in the CMake package (Zarn::TARGET); the folders of its sources are
# among those whose headers are installed.
function(zarn_install_library target name)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name})
  if(ZARN_CXX_RUNTIME)
    target_link_libraries(${target} INTERFACE "$<INSTALL_INTERFACE:$<$<LINK_LANGUAGE:C>:${ZARN_CXX_RUNTIME}>>")
  endif()
  foreach(layout ${ZARN_LIB_LAYOUTS})
    zarn_lib_layout(${layout})
    install(TARGETS ${target} EXPORT Zarn_${component} ARCHIVE DESTINATION ${libdir}
      COMPONENT ${component} ${only_asked})
  endforeach()
  get_target_property(sources ${target} SOURCES)
  foreach(source ${sources})
    get_filename_component(folder ${source} DIRECTORY BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    string(FIND ${folder}/ ${PROJECT_BINARY_DIR}/ generated)  # made at build time: no headers
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${folder})
    if(NOT folder MATCHES "^\\.\\." AND NOT generated EQUAL 0)
      set_property(GLOBAL APPEND PROPERTY ZARN_HEADER_FOLDERS ${folder})
    endif()
  endforeach()
endfunction()

# zarn_install_dev_files(): once every library is installed, the headers (those of the
# libraries' folders and the platform's public ones; cmake/ZarnHeaders.cmake says which), the
# umbrella header, and in every layout the CMake package and the pkg-config files.
function(zarn_install_dev_files)
  get_property(folders GLOBAL PROPERTY ZARN_HEADER_FOLDERS)
  list(APPEND folders platform)
  list(REMOVE_DUPLICATES folders)
  install(CODE "include(\"${PROJECT_SOURCE_DIR}/cmake/ZarnHeaders.cmake\")
    zarn_install_headers(\"${PROJECT_SOURCE_DIR}\" \"${ZARN_INCLUDE_DIR}\" ${folders})" COMPONENT dev)
  install(FILES ${PROJECT_SOURCE_DIR}/include/zarn/zarn.h DESTINATION ${ZARN_INCLUDE_DIR} COMPONENT dev)

  include(CMakePackageConfigHelpers)
  set(version ${PROJECT_BINARY_DIR}/ZarnConfigVersion.cmake)
  # Where the examples' art and sounds are installed, for the examples built from their installed
  # sources; and, for the web backend, its JavaScript half and the page's template.
  set(ZARN_EXAMPLES_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/zarn/examples)
  set(ZARN_WEB_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/zarn/web)
  write_basic_package_version_file(${version} COMPATIBILITY SameMajorVersion)
  foreach(layout ${ZARN_LIB_LAYOUTS})
    zarn_lib_layout(${layout})
    set(config ${PROJECT_BINARY_DIR}/${component}/ZarnConfig.cmake)
    configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ZarnConfig.cmake.in ${config}
      INSTALL_DESTINATION ${libdir}/cmake/Zarn PATH_VARS ZARN_EXAMPLES_DATA_INSTALL_DIR ZARN_WEB_INSTALL_DIR)
    install(EXPORT Zarn_${component} FILE ZarnTargets.cmake NAMESPACE Zarn:: DESTINATION ${libdir}/cmake/Zarn
      COMPONENT ${component} ${only_asked})
    install(FILES ${config} ${version} DESTINATION ${libdir}/cmake/Zarn COMPONENT ${component} ${only_asked})
  endforeach()
endfunction()
