# cmake -DSOURCE_ROOT=DIR -DLAYER_RULES=FILE -P CheckLayerIncludes.cmake
# Fails, naming each one, when a file under SOURCE_ROOT includes a header of a folder its own
# folder may not include: a folder above it or beside it. A folder without a layer fails too.
# LAYER_RULES sets LAYERS and, for each, LAYER_REACH_<folder>: the folders it may include, as
# src/CMakeLists.txt declares them.
cmake_minimum_required(VERSION 3.25)
include(${LAYER_RULES})

file(GLOB_RECURSE files RELATIVE ${SOURCE_ROOT} ${SOURCE_ROOT}/*.h ${SOURCE_ROOT}/*.cpp)
list(SORT files)
set(faults "")
foreach(file ${files})
  string(REGEX MATCH "^[^/]+" folder "${file}")
  if(file STREQUAL folder)
    continue()  # a file at the root belongs to no folder
  endif()
  if(NOT folder IN_LIST LAYERS)
    list(APPEND faults "${file}: the folder ${folder} has no layer")
    continue()
  endif()
  file(STRINGS ${SOURCE_ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" header "${line}")
    string(REGEX MATCH "^[^/]+" included "${header}")
    if(NOT included IN_LIST LAYERS)
      continue()  # not one of the module's folders
    endif()
    if(NOT included IN_LIST LAYER_REACH_${folder})
      string(REPLACE ";" " " reach "${LAYER_REACH_${folder}}")
      list(APPEND faults "${file} includes ${header}: ${folder} may include only ${reach}")
    endif()
  endforeach()
endforeach()

if(faults)
  list(LENGTH faults count)
  string(REPLACE ";" "\n  " text "${faults}")
  message(FATAL_ERROR "${count} include(s) across the layers:\n  ${text}")
endif()
list(LENGTH files count)
message(STATUS "${count} files, every include within its layers")
