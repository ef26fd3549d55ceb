# exe_format: the built lexpatch.exe is a 32-bit GUI image, large address
# aware, that needs no MinGW DLL and carries its icon group and version record.
foreach(tool CMAKE_OBJDUMP CMAKE_RC_COMPILER)
  if(NOT ${tool})
    message(FATAL_ERROR "exe_format needs ${tool} (the i686 MinGW objdump and windres)")
  endif()
endforeach()
add_test(NAME exe_format
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_exe_format.sh
          $<TARGET_FILE:lexpatch> ${CMAKE_OBJDUMP} ${CMAKE_RC_COMPILER})
