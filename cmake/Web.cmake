# The browser build: the same layers compiled by Emscripten, linked against
# the static WebAssembly libraries tools/build-web-libs.sh makes, and served
# as one page.  Configured by tools/build-web.sh:
#
#   emcmake cmake -S . -B build-web -DSNOWBELTER_WEB_LIBS=<libraries> \
#                 -DSNOWBELTER_WEB_MEDIA=<folder holding gfx.sbx and sfx.sbx>
#
# Defines the imported targets the desktop build gets from pkg-config and
# CMake's finders, under the same names, so the layers' own CMakeLists stay
# as they are; and snow_web_page(<target>), which makes a program the page.
set(SNOWBELTER_WEB_LIBS "" CACHE PATH "Prefix of the WebAssembly libraries")
set(SNOWBELTER_WEB_MEDIA "" CACHE PATH "The folder of the built media archives")
if(NOT EXISTS "${SNOWBELTER_WEB_LIBS}/lib/libSDL2.a")
  message(FATAL_ERROR "SNOWBELTER_WEB_LIBS does not hold the web libraries: run tools/build-web.sh")
endif()
if(NOT EXISTS "${SNOWBELTER_WEB_MEDIA}/gfx.sbx" OR NOT EXISTS "${SNOWBELTER_WEB_MEDIA}/sfx.sbx")
  message(FATAL_ERROR "SNOWBELTER_WEB_MEDIA holds no media archives: build the desktop game first")
endif()

# The game's own code built for size too: it is downloaded before the menu
# can show.  -Os, not -Oz: the final link's -Oz makes them the same size,
# and -Os keeps the inlining that a frame's work wants.
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")
set(CMAKE_C_FLAGS_RELEASE "-Os -DNDEBUG")

function(snow_web_library name)
  add_library(${name} INTERFACE IMPORTED)
  set(libraries)
  foreach(library ${ARGN})
    list(APPEND libraries ${SNOWBELTER_WEB_LIBS}/lib/lib${library}.a)
  endforeach()
  set_target_properties(${name} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${SNOWBELTER_WEB_LIBS}/include;${SNOWBELTER_WEB_LIBS}/include/SDL2"
    INTERFACE_LINK_LIBRARIES "${libraries}")
endfunction()
snow_web_library(PkgConfig::SDL2 SDL2)
snow_web_library(PkgConfig::SDL2_MIXER SDL2_mixer SDL2)
snow_web_library(PkgConfig::PNG png16 z)
snow_web_library(PkgConfig::ZLIB z)
snow_web_library(PkgConfig::LZO2 lzo2)
snow_web_library(JPEG::JPEG jpeg)
target_include_directories(PkgConfig::LZO2 INTERFACE ${SNOWBELTER_WEB_LIBS}/include/lzo)
include(${CMAKE_CURRENT_LIST_DIR}/WebPreloads.cmake)

# GL is Emscripten's own WebGL 2: its headers are in the system root.  The
# fixed pipeline the renderer draws with is media/gl_draw_web.cpp's.
add_library(OpenGL::GL INTERFACE IMPORTED)

# The page: <target>.html with the .js, the .wasm and the preloaded .data
# (the picture archive under /snowbelter/media, the replay scripts under
# /replays).  The music archive is not in the .data: the page fetches it
# after the game has started (web/page.js), so the menu need not wait for it.
function(snow_web_page target)
  set(page ${CMAKE_SOURCE_DIR}/web)
  set_target_properties(${target} PROPERTIES SUFFIX .html)
  target_link_options(${target} PRIVATE
    # WebGL 2: the framebuffer objects and blits the picture needs, and
    # GLSL ES 3.00 for the drawing program (media/gl_draw_web.cpp).
    -sMAX_WEBGL_VERSION=2 -sMIN_WEBGL_VERSION=2
    # Small over fast for the final link: the frame's cost is in the
    # browser's drawing, not in the game's code, and the code is downloaded
    # before the menu can show.
    -Oz
    # The screens are blocking loops: every frame wait unwinds to the
    # browser and comes back (core/host_sleep_web.cpp).  Waits are reached
    # through function pointers (the game's main routine, the Options
    # screen's rows), so every indirect call must be able to unwind, but
    # the libraries never call back into a wait: SDL, SDL_mixer and its MP3
    # decoder, libpng, libjpeg and the C++ library are left as they are
    # (a fifth of the code).
    -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=131072 -sASYNCIFY_REMOVE=@${page}/asyncify_remove.json
    # iOS refuses large WebAssembly memories: the game needs far less than
    # 256 MB, so its memory may grow no further.  The page makes the memory
    # (web/page.js: as large as a round needs from the start, and the same
    # 256 MB at most) and hands it over; the game's own start, below, is
    # only the floor its data and stack take.  Memory that cannot grow
    # ends the game with "OOM", which the page's card puts in words.
    -sIMPORTED_MEMORY=1 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=8388608
    -sMAXIMUM_MEMORY=268435456 -sABORTING_MALLOC=1
    -sFORCE_FILESYSTEM=1 -lidbfs.js
    # Leaving the game ends the program as on the desktop: the page hears of it.
    -sEXIT_RUNTIME=1
    -sEXPORTED_RUNTIME_METHODS=[FS,ENV,callMain,ccall]
    # The touch controls' calls (media/gamepad_touch_web.cpp) and the share
    # hook (game/shell/share_web.cpp); naming them here also pulls their
    # objects out of the libraries.
    -sEXPORTED_FUNCTIONS=[_main,_snowbelter_touch,_snowbelter_keyboard_wanted,_snowbelter_give_up_key_wait,_snowbelter_touched,_snowbelter_share]
    # SDL's audio needs these, and starts after the first key or click.
    # (From a file: a "$" on a command line meets too many shells.)
    -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${page}/audio_functions.json
    # (SHELL: keeps each option with its value: CMake drops repeated options.)
    "SHELL:--shell-file ${page}/shell.html" -sMINIFY_HTML=0
    "SHELL:--preload-file ${SNOWBELTER_WEB_MEDIA}/gfx.sbx@/snowbelter/media/gfx.sbx"
    "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/tests/replays@/replays")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
    ${page}/shell.html ${page}/audio_functions.json ${page}/asyncify_remove.json
    ${SNOWBELTER_WEB_MEDIA}/gfx.sbx)
  snow_web_preloads(${target} ${CMAKE_SOURCE_DIR}/tests/replays)
endfunction()
