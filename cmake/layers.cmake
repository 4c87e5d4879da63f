# One static library per folder of src/ (zolt_world, zolt_combat, ...), each
# linking the folders cmake/layers.txt lets it use, and the interface library
# zoltengine that executables and tests link to get all of them. Before any
# of them compiles, cmake/check_layers.py reads every include of src/ and
# fails the build on one that runs against the table's direction.
#
# Shared by the native build (CMakeLists.txt) and the browser's
# (cmake/Web.cmake); each adds the outside libraries per folder itself.

find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(ZOLT_LAYER_TABLE ${CMAKE_SOURCE_DIR}/cmake/layers.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZOLT_LAYER_TABLE})

# Reads the table into ZOLT_LAYER_FOLDERS and, per folder,
# ZOLT_LAYER_LINKS_<folder>: the folders below it, and those its remaining
# exceptions still reach (the linker needs those too until they are cut).
function(zolt_read_layer_table)
  file(STRINGS ${ZOLT_LAYER_TABLE} rows)
  set(folders "")
  foreach(row IN LISTS rows)
    string(REGEX REPLACE "#.*" "" row "${row}")
    string(STRIP "${row}" row)
    if(row MATCHES "^except +([^/]+)/.* -> *([^/]+)/")
      list(APPEND links_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
    elseif(row MATCHES "^([^: ]+):(.*)$")
      set(folder ${CMAKE_MATCH_1})
      string(STRIP "${CMAKE_MATCH_2}" below)
      separate_arguments(below UNIX_COMMAND "${below}")
      list(APPEND folders ${folder})
      list(APPEND links_${folder} ${below})
    endif()
  endforeach()
  foreach(folder IN LISTS folders)
    if(links_${folder})
      list(REMOVE_DUPLICATES links_${folder})
      list(REMOVE_ITEM links_${folder} ${folder})
    endif()
    set(ZOLT_LAYER_LINKS_${folder} "${links_${folder}}" PARENT_SCOPE)
  endforeach()
  set(ZOLT_LAYER_FOLDERS "${folders}" PARENT_SCOPE)
endfunction()

# zolt_add_layer_libraries([EXCLUDE regex...] [INCLUDES dir...] [WARNINGS flag...])
# Folders with no library (src/main holds the programs' entries) are those
# without sources left after the exclusions, or named in SKIP.
function(zolt_add_layer_libraries)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;INCLUDES;WARNINGS;SKIP" ${ARGN})
  zolt_read_layer_table()

  file(GLOB_RECURSE checked CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.h ${CMAKE_SOURCE_DIR}/src/*.hpp
       ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.c)
  set(stamp ${CMAKE_BINARY_DIR}/layers-checked)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/cmake/check_layers.py ${ZOLT_LAYER_TABLE}
            ${CMAKE_SOURCE_DIR}/src ${stamp}
    DEPENDS ${checked} ${ZOLT_LAYER_TABLE} ${CMAKE_SOURCE_DIR}/cmake/check_layers.py
    COMMENT "Checking that every include of src/ follows cmake/layers.txt")
  add_custom_target(zolt_layer_check DEPENDS ${stamp})

  set(made "")
  foreach(folder IN LISTS ZOLT_LAYER_FOLDERS)
    if(folder IN_LIST ARG_SKIP)
      continue()
    endif()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp
         ${CMAKE_SOURCE_DIR}/src/${folder}/*.c)
    foreach(pattern IN LISTS ARG_EXCLUDE)
      list(FILTER sources EXCLUDE REGEX "${pattern}")
    endforeach()
    if(NOT sources)
      continue()
    endif()
    add_library(zolt_${folder} STATIC ${sources})
    target_include_directories(zolt_${folder} PUBLIC ${CMAKE_SOURCE_DIR}/src ${ARG_INCLUDES})
    target_compile_options(zolt_${folder} PRIVATE ${ARG_WARNINGS})
    add_dependencies(zolt_${folder} zolt_layer_check)
    list(APPEND made ${folder})
  endforeach()

  # Static libraries may point at each other both ways while exceptions
  # remain; CMake repeats such a group on the link line, often enough that a
  # chain through every folder of the group resolves.
  list(LENGTH made count)
  foreach(folder IN LISTS made)
    set_property(TARGET zolt_${folder} PROPERTY LINK_INTERFACE_MULTIPLICITY ${count})
    foreach(below IN LISTS ZOLT_LAYER_LINKS_${folder})
      if(below IN_LIST made)
        target_link_libraries(zolt_${folder} PUBLIC zolt_${below})
      endif()
    endforeach()
  endforeach()

  add_library(zoltengine INTERFACE)
  foreach(folder IN LISTS made)
    target_link_libraries(zoltengine INTERFACE zolt_${folder})
  endforeach()
  set(ZOLT_LAYER_LIBRARIES "${made}" PARENT_SCOPE)
endfunction()
