# pkg-config files beside the CMake package: zarn gives the compile flags and the support layer
# alone; zarn-sdl and zarn-headless add one backend, which is what a program links. Each is
# written when it is installed, so that it names the prefix it was installed into; one set for
# each layout of the libraries (ZARN_LIB_LAYOUTS, cmake/ZarnInstall.cmake).

# zarn_pkgconfig(NAME DESCRIPTION REQUIRES LIBS...)
function(zarn_pkgconfig name description requires)
  set(ZARN_PC_NAME ${name})
  set(ZARN_PC_DESCRIPTION ${description})
  set(ZARN_PC_REQUIRES ${requires})
  list(TRANSFORM ZARN_CXX_RUNTIME PREPEND -l OUTPUT_VARIABLE runtime)  # for a C program (ZarnInstall.cmake)
  list(JOIN ARGN " " ZARN_PC_LIBS)
  if(runtime)
    list(JOIN runtime " " runtime)
    string(APPEND ZARN_PC_LIBS " ${runtime}")
  endif()
  set(ZARN_PC_PREFIX "@ZARN_PC_PREFIX@")  # left for install time
  foreach(layout ${ZARN_LIB_LAYOUTS})
    zarn_lib_layout(${layout})
    set(ZARN_PC_LIBDIR ${libdir})
    set(staged ${PROJECT_BINARY_DIR}/pkgconfig/${component}/${name}.pc.in)
    set(final ${PROJECT_BINARY_DIR}/pkgconfig/${component}/${name}.pc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/zarn.pc.in ${staged} @ONLY)
    install(CODE "set(ZARN_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
                  configure_file(\"${staged}\" \"${final}\" @ONLY)" COMPONENT ${component} ${only_asked})
    install(FILES ${final} DESTINATION ${libdir}/pkgconfig COMPONENT ${component} ${only_asked})
  endforeach()
endfunction()

zarn_pkgconfig(zarn "Zarn game-programming support layer (link it with a backend: zarn-sdl or zarn-headless)"
  "" -lzarn)
zarn_pkgconfig(zarn-headless "Zarn support layer on the in-memory backend, for tests" "" -lzarn -lzarn-headless)
if(ZARN_SDL AND WIN32)
  # Windows: SDL2 static beside the library, without its main (which sdl2.pc would put in place
  # of the program's own), and the program linked whole as the CMake package links it: the
  # file names SDL2's library and the Windows libraries SDL2's CMake package names.
  find_package(SDL2 REQUIRED CONFIG)
  get_target_property(sdl_libs SDL2::SDL2-static INTERFACE_LINK_LIBRARIES)
  list(TRANSFORM sdl_libs REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1")
  list(FILTER sdl_libs INCLUDE REGEX "^[A-Za-z0-9_]+$")
  list(TRANSFORM sdl_libs PREPEND -l)
  zarn_pkgconfig(zarn-sdl "Zarn support layer on the SDL backend: a window, sound and input" ""
    -lzarn -lzarn-sdl -lSDL2 ${sdl_libs} -static -static-libgcc -static-libstdc++)
elseif(ZARN_SDL)
  zarn_pkgconfig(zarn-sdl "Zarn support layer on the SDL backend: a window, sound and input" "sdl2 SDL2_ttf"
    -lzarn -lzarn-sdl)
endif()
