# The examples' pictures on the examples page: each a screenshot taken by the web page's tests
# (tests/web writes OUTPUT_FOLDER/shots/NAME.png), when they have run.
#   -DMODE=fragments: writes FOLDER/NAME.html, the picture's <img> or a word that there is none yet,
#                     for the page's \htmlinclude;
#   -DMODE=pictures:  copies the screenshots into the reference's HTML folder HTML.
# Variables: MODE, SHOTS (the tests' shots folder), FOLDER, HTML, NAMES (the examples' names,
# separated by commas).
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" NAMES "${NAMES}")
foreach(name ${NAMES})
  set(shot ${SHOTS}/${name}.png)
  if(MODE STREQUAL "fragments")
    if(EXISTS ${shot})
      file(WRITE ${FOLDER}/${name}.html
        "<img src=\"example_${name}.png\" width=\"320\" height=\"240\" alt=\"The ${name} example in the browser\">\n")
    else()
      file(WRITE ${FOLDER}/${name}.html
        "<em>(Its picture is taken by the web page's tests: tests/web/run.sh, then this reference again.)</em>\n")
    endif()
  elseif(EXISTS ${shot})
    file(COPY_FILE ${shot} ${HTML}/example_${name}.png)
  endif()
endforeach()
