# velmar_folder_library(<target> [GLOBS <pattern>...] [PUBLIC <deps>...] [PRIVATE <deps>...])
# A folder's sources become one static library; a folder that has no sources yet gives an
# interface library, so the tree builds while a folder is still being filled.
function(velmar_folder_library target)
  cmake_parse_arguments(ARG "" "" "GLOBS;PUBLIC;PRIVATE" ${ARGN})
  if(NOT ARG_GLOBS)
    set(ARG_GLOBS *.cpp *.h)
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${ARG_GLOBS})
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(${target} STATIC ${sources})
    # Includes are written from the repository's root ("device/d2xx/d2xx.h"); that root is the
    # only include path, and a library reaches another's headers only by linking it.
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_PUBLIC})
  endif()
endfunction()
