# The web build's toolchain: Debian's Emscripten. Its linker runs JavaScript tools that need the
# modules in Debian's node folder, which the machine's node does not search by itself. The
# generators of art, sounds and glyphs are built natively (tools/CMakeLists.txt).
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
# Memory copies and fills as the single instructions of WebAssembly's bulk memory operations.
set(CMAKE_C_FLAGS_INIT -mbulk-memory)
set(CMAKE_CXX_FLAGS_INIT -mbulk-memory)
set(CMAKE_EXE_LINKER_FLAGS_INIT -mbulk-memory)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs CACHE STRING "emcc's node modules")
set(CMAKE_C_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs CACHE STRING "emcc's node modules")
