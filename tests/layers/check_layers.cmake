# Fails when a component folder includes a header of a folder below it in the
# layer order (a folder may include only the folders before it in LAYERS, and
# itself), or of tests/, bench/ or fuzz/, or when one of the plain C++ folders
# includes a Qt header. Linking alone would let an include slip through: every
# target sees the whole source tree.
#
#   cmake -DROOT=<source tree> -P check_layers.cmake
cmake_minimum_required(VERSION 3.25)

set(LAYERS irc platform/winsys platform/wsock32 sockets transport tls platform/toolkit Il Unit1)
set(WITHOUT_QT irc sockets transport tls)
set(NEVER_INCLUDED tests bench fuzz)

if(NOT DEFINED ROOT)
  message(FATAL_ERROR "check_layers: pass -DROOT=<source tree>")
endif()

# The folder an include path belongs to: the longest known folder it starts with;
# empty for a system or library header.
function(owner_of path result)
  set(best "")
  foreach(folder IN LISTS LAYERS NEVER_INCLUDED)
    string(LENGTH "${folder}/" length)
    string(SUBSTRING "${path}" 0 ${length} head)
    string(LENGTH "${best}" best_length)
    if(head STREQUAL "${folder}/" AND length GREATER best_length)
      set(best "${folder}")
    endif()
  endforeach()
  set(${result} "${best}" PARENT_SCOPE)
endfunction()

set(violations "")
list(LENGTH LAYERS layer_count)
math(EXPR last "${layer_count} - 1")
foreach(index RANGE ${last})
  list(GET LAYERS ${index} folder)
  # A nested layer (platform/winsys) is not part of its parent's files.
  file(GLOB sources LIST_DIRECTORIES false
       "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
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
      owner_of("${path}" owner)
      if(owner STREQUAL "")
        continue()
      endif()
      list(FIND LAYERS "${owner}" owner_index)
      if(owner_index EQUAL -1)
        list(APPEND violations "${name}: includes ${path} from ${owner}/")
      elseif(owner_index GREATER index)
        list(APPEND violations "${name}: includes ${path}, a layer below ${folder}/")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Layer order broken:\n  ${text}")
endif()
message(STATUS "Every include follows the layer order")
