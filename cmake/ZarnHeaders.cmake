# Which headers a program may include: every header of the given folders except those whose
# opening comment (the comment lines right after `#pragma once`) says "Internal to ...", the mark
# of a layer's or a backend's own header. Read from the headers themselves, at install time, so
# that a header's opening comment alone decides whether it is installed.

# zarn_public_headers(OUT SOURCE_DIR FOLDER...): the headers directly in each folder, as paths
# relative to SOURCE_DIR.
function(zarn_public_headers out source_dir)
  set(public)
  foreach(folder ${ARGN})
    file(GLOB headers RELATIVE ${source_dir} ${source_dir}/${folder}/*.h)
    foreach(header ${headers})
      file(READ ${source_dir}/${header} text)
      string(REGEX MATCH "^#pragma once\n(//[^\n]*\n)*" opening "${text}")
      if(NOT opening MATCHES "Internal to ")
        list(APPEND public ${header})
      endif()
    endforeach()
  endforeach()
  list(SORT public)
  set(${out} ${public} PARENT_SCOPE)
endfunction()

# zarn_install_headers(SOURCE_DIR DESTINATION FOLDER...): installs the public headers of the
# folders under DESTINATION (below the install prefix), each in the folder it sits in.
function(zarn_install_headers source_dir destination)
  zarn_public_headers(headers ${source_dir} ${ARGN})
  foreach(header ${headers})
    get_filename_component(folder ${header} DIRECTORY)
    file(INSTALL ${source_dir}/${header} DESTINATION ${CMAKE_INSTALL_PREFIX}/${destination}/${folder})
  endforeach()
endfunction()
