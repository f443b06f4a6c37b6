# Fails when a component folder steps outside what the map in
# cmake/layer_map.cmake lets it use: an include of a folder not on its line (or
# of tests/, bench/ or fuzz/), a Qt header in a plain folder, a library's header
# outside the folder that owns it, or a link line (its library's, or for the
# folders without Qt, its tests') that names a project library not on its line,
# or Qt. Linking alone would let an include slip through: every target sees the
# whole source tree.
#
#   cmake -DROOT=<source tree> -DMAP=<layer map> -P check_layers.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED ROOT OR NOT DEFINED MAP)
  message(FATAL_ERROR "check_layers: pass -DROOT=<source tree> -DMAP=<layer map>")
endif()
include(${MAP})
set(NEVER_INCLUDED tests bench fuzz)

# The folder an include path belongs to: the longest known folder it starts with;
# empty for a system or library header.
function(owner_of path result)
  set(best "")
  foreach(folder IN LISTS LAYER_FOLDERS NEVER_INCLUDED)
    string(LENGTH "${folder}/" length)
    string(SUBSTRING "${path}" 0 ${length} head)
    string(LENGTH "${best}" best_length)
    if(head STREQUAL "${folder}/" AND length GREATER best_length)
      set(best "${folder}")
    endif()
  endforeach()
  set(${result} "${best}" PARENT_SCOPE)
endfunction()

# The folder of each project library, by the library's name.
foreach(folder IN LISTS LAYER_FOLDERS)
  get_filename_component(library "${folder}" NAME)
  set(FOLDER_OF_${library} "${folder}")
endforeach()

set(violations "")

function(check_includes folder)
  # A nested folder (platform/winsys) is not part of its parent's files.
  file(GLOB sources LIST_DIRECTORIES false "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
  list(FIND WITHOUT_QT "${folder}" plain)
  foreach(source IN LISTS sources)
    file(RELATIVE_PATH name "${ROOT}" "${source}")
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" path "${line}")
      if(plain GREATER_EQUAL 0 AND path MATCHES "^Q[A-Za-z]*(/|$)")
        list(APPEND violations "${name}: includes the Qt header <${path}>")
        continue()
      endif()
      string(REGEX REPLACE "/.*$" "" library_header "${path}")
      if(library_header IN_LIST LIBRARY_HEADERS AND NOT folder IN_LIST ONLY_IN_${library_header})
        list(APPEND violations "${name}: includes <${path}>, which only ${ONLY_IN_${library_header}}/ may")
        continue()
      endif()
      owner_of("${path}" owner)
      if(owner STREQUAL "" OR owner STREQUAL folder OR owner IN_LIST MAY_USE_${folder})
        continue()
      endif()
      list(APPEND violations "${name}: includes ${path}, but ${folder}/ may not use ${owner}/")
    endforeach()
  endforeach()
  set(violations "${violations}" PARENT_SCOPE)
endfunction()

# The words inside every target_link_libraries( ) and add_component_test( ) of a
# CMakeLists.txt, and whether it has a Qt test.
function(link_words file words_result)
  set(words "")
  if(EXISTS "${file}")
    file(READ "${file}" text)
    string(REGEX MATCHALL "(target_link_libraries|add_component_test)\\([^)]*\\)" calls "${text}")
    foreach(call IN LISTS calls)
      string(REGEX REPLACE "^[a-z_]+\\(|\\)$" "" inner "${call}")
      string(REGEX REPLACE "[ \t\r\n]+" ";" inner "${inner}")
      list(APPEND words ${inner})
    endforeach()
  endif()
  set(${words_result} "${words}" PARENT_SCOPE)
endfunction()

function(check_links folder)
  set(lists "${folder}/CMakeLists.txt")
  link_words("${ROOT}/${folder}/CMakeLists.txt" words)
  get_filename_component(own "${folder}" NAME)
  foreach(word IN LISTS words)
    if(DEFINED FOLDER_OF_${word} AND NOT word STREQUAL own
       AND NOT FOLDER_OF_${word} IN_LIST MAY_USE_${folder})
      list(APPEND violations "${lists}: links ${word}, but ${folder}/ may not use ${FOLDER_OF_${word}}/")
    endif()
  endforeach()
  if(folder IN_LIST WITHOUT_QT_LINKED)
    link_words("${ROOT}/tests/${folder}/CMakeLists.txt" test_words)
    foreach(word IN LISTS words test_words)
      set(qt_library FALSE)
      if(DEFINED FOLDER_OF_${word})
        if(NOT FOLDER_OF_${word} IN_LIST WITHOUT_QT_LINKED)
          set(qt_library TRUE)
        endif()
      endif()
      if(word MATCHES "^Qt[0-9]*::|^QT_APP$" OR qt_library)
        list(APPEND violations "${folder}/ or its tests link Qt: ${word}")
      endif()
    endforeach()
  endif()
  set(violations "${violations}" PARENT_SCOPE)
endfunction()

foreach(folder IN LISTS LAYER_FOLDERS)
  check_includes(${folder})
  check_links(${folder})
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Layer map broken:\n  ${text}")
endif()
message(STATUS "Every include and link line follows the layer map")
