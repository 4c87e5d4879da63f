# The browser build (emcmake, from scripts/web.sh): the engine and the demo
# game as zolt.html, zolt.js, zolt.wasm and zolt.data in <build>/web. The
# libraries were compiled from their Debian source packages into
# ZOLT_WEB_DEPS; GLFW 3 and OpenAL are emscripten's own.
if(NOT ZOLT_WEB_DEPS)
  message(FATAL_ERROR "The browser build needs -DZOLT_WEB_DEPS=<folder>; run bash scripts/web.sh")
endif()

set(ZOLT_WARNINGS -Wall -Wextra)

# glm and stb are header-only; only their own folders are taken from the
# system, never the rest of /usr/include.
set(WEB_HEADERS ${CMAKE_BINARY_DIR}/system-headers)
file(MAKE_DIRECTORY ${WEB_HEADERS})
foreach(folder glm stb physfs.h)
  if(NOT EXISTS ${WEB_HEADERS}/${folder})
    file(CREATE_LINK /usr/include/${folder} ${WEB_HEADERS}/${folder} SYMBOLIC)
  endif()
endforeach()

# One library per folder of src/ as on the desktop (cmake/layers.cmake). A
# page has no other process to start and no display-less GL.
include(${CMAKE_SOURCE_DIR}/cmake/layers.cmake)
zolt_add_layer_libraries(SKIP main EXCLUDE ".*/(ProcessRestart|TGOffscreenContext)\\.cpp$"
  INCLUDES ${WEB_HEADERS} ${WEB_HEADERS}/stb ${ZOLT_WEB_DEPS}/include ${ZOLT_WEB_DEPS}/include/lua5.2
           ${ZOLT_WEB_DEPS}/include/freetype2
  WARNINGS ${ZOLT_WARNINGS})
target_link_libraries(zolt_util PUBLIC ${ZOLT_WEB_DEPS}/lib/libtinyxml2.a ${ZOLT_WEB_DEPS}/lib/libzstd.a
  ${ZOLT_WEB_DEPS}/lib/libz.a)
target_link_libraries(zolt_graphics PUBLIC ${ZOLT_WEB_DEPS}/lib/libfreetype.a)
target_link_libraries(zolt_script PUBLIC ${ZOLT_WEB_DEPS}/lib/liblua.a)
target_link_libraries(zolt_sound PUBLIC ${ZOLT_WEB_DEPS}/lib/libvorbis.a ${ZOLT_WEB_DEPS}/lib/libogg.a)

# The data directory the engine would be installed to: the page's packed
# folder holds the game and the engine's shaders and fonts.
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/util/DataPaths.cpp PROPERTIES COMPILE_DEFINITIONS
  "ZOLT_INSTALL_DATA_DIR=\"/game\";ZOLT_CHECKOUT_DIR=\"/game\";ZOLT_BUILD_DIR=\"/game\"")

# A binding that throws (a bad argument deep in the engine) becomes a Lua
# error for the script, as on the desktop; that catch is the only one the
# engine has, so only its file pays for catching in WebAssembly.
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/script/LuaInterface.cpp PROPERTIES COMPILE_OPTIONS "-fexceptions")

set(WEB_OUT ${CMAKE_BINARY_DIR}/web)
file(MAKE_DIRECTORY ${WEB_OUT})
add_executable(zolt-web ${CMAKE_SOURCE_DIR}/src/main/web/main.cpp)
set_target_properties(zolt-web PROPERTIES OUTPUT_NAME zolt SUFFIX ".html" RUNTIME_OUTPUT_DIRECTORY ${WEB_OUT})
target_compile_options(zolt-web PRIVATE ${ZOLT_WARNINGS})
target_link_libraries(zolt-web PRIVATE zoltengine idbfs.js openal)
file(GLOB_RECURSE DEMO_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/*)
target_link_options(zolt-web PRIVATE
  # PhysFS's source package cannot be fetched here: the page plays the
  # packed folder unmounted (GameFiles reads it by plain paths), and no
  # archive reader is linked.
  -sERROR_ON_UNDEFINED_SYMBOLS=0
  -fexceptions
  # The page stays readable; Debian's emscripten cannot call its minifier.
  -sMINIFY_HTML=0
  -sUSE_GLFW=3 -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2 -sALLOW_MEMORY_GROWTH=1
  -sEXPORTED_RUNTIME_METHODS=[FS,ccall] -sEXPORTED_FUNCTIONS=[_main,_zolt_web_start,_zolt_web_avatar]
  "SHELL:--shell-file ${CMAKE_SOURCE_DIR}/src/main/web/shell.html"
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/assets@/game/assets"
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/game.xml@/game/game.xml")
set_property(TARGET zolt-web APPEND PROPERTY LINK_DEPENDS ${DEMO_FILES} ${CMAKE_SOURCE_DIR}/game.xml
  ${CMAKE_SOURCE_DIR}/src/main/web/shell.html)
