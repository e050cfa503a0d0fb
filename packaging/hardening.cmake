# Release builds get the hardening flags that Debian's dpkg-buildflags gives its own packages
# with every hardening feature on (fortify, stack protector, format checks, relro, bindnow, and
# PIE where the compiler does not build it by default), through platine_options. The build type keeps its own optimisation and debug
# options: dpkg-buildflags' "-g -O2" are left out.
option(PLATINE_HARDENING "Apply the hardening flags of dpkg-buildflags to Release builds" ON)

if(PLATINE_HARDENING AND CMAKE_BUILD_TYPE STREQUAL "Release")
  find_program(PLATINE_DPKG_BUILDFLAGS dpkg-buildflags)
  if(NOT PLATINE_DPKG_BUILDFLAGS)
    message(WARNING "dpkg-buildflags not found (Debian package dpkg-dev): this Release build "
                    "is not hardened.")
  else()
    set(_platine_flag_env
        DEB_BUILD_MAINT_OPTIONS=hardening=+all
        "DEB_CFLAGS_MAINT_STRIP=-g -O2"
        "DEB_CXXFLAGS_MAINT_STRIP=-g -O2")
    foreach(_kind CPPFLAGS CXXFLAGS LDFLAGS)
      # Run from the source folder: the path-mapping flags then hide where it lies.
      execute_process(
        COMMAND ${CMAKE_COMMAND} -E env ${_platine_flag_env}
                ${PLATINE_DPKG_BUILDFLAGS} --get ${_kind}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE _flags
        OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE _result)
      if(NOT _result EQUAL 0)
        message(FATAL_ERROR "dpkg-buildflags --get ${_kind} failed")
      endif()
      separate_arguments(_flags UNIX_COMMAND "${_flags}")
      set(PLATINE_HARDENING_${_kind} ${_flags})
    endforeach()
    target_compile_options(platine_options INTERFACE
      ${PLATINE_HARDENING_CPPFLAGS} ${PLATINE_HARDENING_CXXFLAGS})
    target_link_options(platine_options INTERFACE ${PLATINE_HARDENING_LDFLAGS})
    string(JOIN " " _flags ${PLATINE_HARDENING_CPPFLAGS} ${PLATINE_HARDENING_CXXFLAGS}
           ${PLATINE_HARDENING_LDFLAGS})
    message(STATUS "Hardening flags (dpkg-buildflags): ${_flags}")
  endif()
endif()
