# zarn_web_page(FOLDER PROGRAM TITLE [DATA] [ICON url] [LINKS html] [ARGUMENTS js-array]): writes
# FOLDER/index.html, the page of a program linked with the web backend and -sMODULARIZE
# -sEXPORT_NAME=createZarnProgram into FOLDER as PROGRAM.js and PROGRAM.wasm, from the page's
# template (platform/web/index.html, installed as share/zarn/web/index.html.in). DATA: the program
# has a --preload-file package, PROGRAM.data.
function(zarn_web_page folder program title)
  cmake_parse_arguments(PARSE_ARGV 3 page "DATA" "ICON;LINKS;ARGUMENTS" "")
  set(ZARN_PAGE_TITLE ${title})
  set(ZARN_PAGE_PROGRAM ${program})
  set(ZARN_PAGE_EXPORT createZarnProgram)
  set(ZARN_PAGE_DATA "")
  if(page_DATA)
    set(ZARN_PAGE_DATA ${program}.data)
  endif()
  set(ZARN_PAGE_ICON "data:,")  # none: no request for one
  if(page_ICON)
    set(ZARN_PAGE_ICON ${page_ICON})
  endif()
  set(ZARN_PAGE_LINKS "${page_LINKS}")
  set(ZARN_PAGE_ARGUMENTS "[]")
  if(page_ARGUMENTS)
    set(ZARN_PAGE_ARGUMENTS "${page_ARGUMENTS}")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/platform/web/index.html ${folder}/index.html @ONLY)
endfunction()
