# The build that gets packaged is compiled and linked with the flags Debian's own package builds
# use, as dpkg-buildflags gives them with every hardening feature on: stack protector,
# _FORTIFY_SOURCE, format checks, relro with immediate binding. PIE is Debian's compiler default.
# The whole tree gets them, so the tests exercise the objects that are shipped. A sanitized or
# fuzzing build keeps its own flags (_FORTIFY_SOURCE and the sanitizers get in each other's way).
option(VELMAR_DEBIAN_FLAGS "Build with the hardening flags dpkg-buildflags gives" ON)
find_program(DPKG_BUILDFLAGS dpkg-buildflags)

if(VELMAR_DEBIAN_FLAGS AND DPKG_BUILDFLAGS AND NOT SANITIZE AND NOT VELMAR_FUZZ)
  foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
    # Run from the source root: its -ffile-prefix-map then maps that root to '.'.
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
    set(velmar_dpkg_${kind} "${flags}")
  endforeach()
  string(APPEND CMAKE_C_FLAGS " ${velmar_dpkg_CPPFLAGS} ${velmar_dpkg_CFLAGS}")
  string(APPEND CMAKE_CXX_FLAGS " ${velmar_dpkg_CPPFLAGS} ${velmar_dpkg_CXXFLAGS}")
  foreach(kind EXE SHARED MODULE)
    string(APPEND CMAKE_${kind}_LINKER_FLAGS " ${velmar_dpkg_LDFLAGS}")
  endforeach()
  message(STATUS "Debian build flags: ${velmar_dpkg_CPPFLAGS} ${velmar_dpkg_CXXFLAGS} ${velmar_dpkg_LDFLAGS}")
endif()
