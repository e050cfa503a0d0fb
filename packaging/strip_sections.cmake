# Run by CPack once the files are staged, before they are packed (CPACK_PRE_BUILD_SCRIPTS):
# removes from every ELF file the .comment and .note sections (compiler versions, nothing the
# programs use), as Debian's dh_strip does. CPACK_STRIP_FILES has stripped them already.
if(NOT CPACK_OBJCOPY_EXECUTABLE)
  message(FATAL_ERROR "objcopy not found (Debian package binutils)")
endif()
file(GLOB_RECURSE _files LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(_file IN LISTS _files)
  if(IS_SYMLINK "${_file}")
    continue()
  endif()
  file(READ "${_file}" _magic LIMIT 4 HEX)
  if(_magic STREQUAL "7f454c46")
    execute_process(
      COMMAND "${CPACK_OBJCOPY_EXECUTABLE}" --remove-section=.comment --remove-section=.note
              "${_file}"
      RESULT_VARIABLE _result)
    if(NOT _result EQUAL 0)
      message(FATAL_ERROR "objcopy failed on ${_file}")
    endif()
  endif()
endforeach()
