# The browser build, included by the top-level CMakeLists.txt under emcmake. scripts/web.sh
# configures it with PKG_CONFIG_LIBDIR pointing at the WebAssembly libraries and
# KESTRUNE_WEB_STAGE naming the folder packed as /game (Data, Docs, Fonts).
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(SDL2_TTF REQUIRED IMPORTED_TARGET SDL2_ttf)
pkg_check_modules(SDL2_MIXER REQUIRED IMPORTED_TARGET SDL2_mixer)
pkg_check_modules(OPENMPT REQUIRED IMPORTED_TARGET libopenmpt)
pkg_check_modules(WEBPNG REQUIRED IMPORTED_TARGET libpng zlib)
set(KESTRUNE_FONT_LOOKUP "")
set(KESTRUNE_PNG PkgConfig::WEBPNG)

if(NOT KESTRUNE_WEB_STAGE)
  message(FATAL_ERROR "KESTRUNE_WEB_STAGE is not set (scripts/web.sh sets it)")
endif()

# The game throws and catches exceptions: Emscripten leaves catching off unless asked.
add_compile_options(-fexceptions)
# What the toolchain's C++ library lacks, supplied without touching the game's sources.
add_compile_options("SHELL:-include ${CMAKE_CURRENT_LIST_DIR}/cxx20-compat.h")
set(KESTRUNE_WEB_LINK_OPTIONS
  -fexceptions
  -sALLOW_MEMORY_GROWTH=1
  -sFORCE_FILESYSTEM=1
  -lidbfs.js
  "-sEXPORTED_RUNTIME_METHODS=[ccall,FS,UTF8ToString]"
  # Opening SDL's audio needs these library functions present (named in a file: their names
  # start with a dollar sign, which the build tool would escape twice here).
  "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_CURRENT_LIST_DIR}/library-functions.json"
  --preload-file "${KESTRUNE_WEB_STAGE}@/game")

add_subdirectory(src)
