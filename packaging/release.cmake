# The release that is being built: its version is the project's (project() in the top
# CMakeLists.txt, the one place where it is set); its date is the one of the latest entry of
# packaging/changelog.in. Sets PLATINE_RELEASE_DATE (YYYY-MM-DD) and PLATINE_CHANGELOG_VERSION.

set(PLATINE_CHANGELOG_SOURCE ${CMAKE_CURRENT_LIST_DIR}/changelog.in)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PLATINE_CHANGELOG_SOURCE})
file(STRINGS ${PLATINE_CHANGELOG_SOURCE} _platine_changelog_lines ENCODING UTF-8)

set(PLATINE_CHANGELOG_VERSION "")
set(PLATINE_RELEASE_DATE "")
foreach(_line IN LISTS _platine_changelog_lines)
  if(PLATINE_CHANGELOG_VERSION STREQUAL "" AND _line MATCHES "^platine \\(([^)]+)\\)")
    set(PLATINE_CHANGELOG_VERSION ${CMAKE_MATCH_1})
  elseif(_line MATCHES "^ -- .*  [A-Z][a-z][a-z], ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    set(_day ${CMAKE_MATCH_1})
    set(_year ${CMAKE_MATCH_3})
    set(_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(FIND _months ${CMAKE_MATCH_2} _month)
    if(_month GREATER_EQUAL 0)
      math(EXPR _month "${_month} + 1")
      string(LENGTH "${_month}" _length)
      if(_length EQUAL 1)
        set(_month 0${_month})
      endif()
      string(LENGTH "${_day}" _length)
      if(_length EQUAL 1)
        set(_day 0${_day})
      endif()
      set(PLATINE_RELEASE_DATE ${_year}-${_month}-${_day})
    endif()
    break()
  endif()
endforeach()

if(PLATINE_RELEASE_DATE STREQUAL "")
  message(FATAL_ERROR "${PLATINE_CHANGELOG_SOURCE}: no dated entry (\" -- Name <e-mail>  date\")")
endif()
if(NOT PLATINE_CHANGELOG_VERSION STREQUAL PROJECT_VERSION)
  # Not fatal here, so that a version change can be built before its changelog entry is
  # written; scripts/package.sh refuses such a package.
  message(WARNING "The latest entry of ${PLATINE_CHANGELOG_SOURCE} is version "
                  "${PLATINE_CHANGELOG_VERSION}, the project is ${PROJECT_VERSION}: add an entry "
                  "for ${PROJECT_VERSION} before packaging.")
endif()
