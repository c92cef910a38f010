# The examples' pictures on the examples page: each a screenshot taken by the web page's tests
# (tests/web writes OUTPUT_FOLDER/shots/NAME.png), when they have run.
#   -DMODE=fragments: writes FOLDER/NAME.html, the picture's <img> or a word that there is none yet,
#                     for the page's \htmlinclude (only when that changes, so that the reference
#                     is made again only then);
#   -DMODE=pictures:  copies the screenshots that differ into the reference's HTML folder HTML,
#                     once it is there.
# Variables: MODE, SHOTS (the tests' shots folder), FOLDER, HTML, NAMES (the examples' names,
# separated by commas).
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" NAMES "${NAMES}")
foreach(name ${NAMES})
  set(shot ${SHOTS}/${name}.png)
  if(MODE STREQUAL "fragments")
    if(EXISTS ${shot})
      set(text "<img src=\"example_${name}.png\" width=\"320\" height=\"240\" alt=\"The ${name} example in the browser\">\n")
    else()
      set(text "<em>(Its picture is taken by the web page's tests: tests/web/run.sh, then this reference again.)</em>\n")
    endif()
    set(was "")
    if(EXISTS ${FOLDER}/${name}.html)
      file(READ ${FOLDER}/${name}.html was)
    endif()
    if(NOT was STREQUAL text)
      file(WRITE ${FOLDER}/${name}.html "${text}")
    endif()
  elseif(EXISTS ${shot} AND IS_DIRECTORY ${HTML})
    file(COPY_FILE ${shot} ${HTML}/example_${name}.png ONLY_IF_DIFFERENT)
  endif()
endforeach()
