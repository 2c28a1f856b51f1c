# velmar_folder_library(<target> [GLOBS <pattern>...] [PUBLIC <deps>...] [PRIVATE <deps>...])
# A folder's sources become one static library.
function(velmar_folder_library target)
  cmake_parse_arguments(ARG "" "" "GLOBS;PUBLIC;PRIVATE" ${ARGN})
  if(NOT ARG_GLOBS)
    set(ARG_GLOBS *.cpp *.h)
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${ARG_GLOBS})
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  add_library(${target} STATIC ${sources})
  # Includes are written from the repository's root ("device/d2xx/d2xx.h"); that root is the
  # only include path, and a library reaches another's headers only by linking it.
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
endfunction()
