# exe_format: the built lexpatch.exe is a GUI image of this build's format (PE32 in the 32-bit
# build, the product; PE32+ in the 64-bit one), large address aware, that needs no MinGW DLL and
# carries its icon group and the version record of the project version.
foreach(tool CMAKE_OBJDUMP CMAKE_RC_COMPILER)
  if(NOT ${tool})
    message(FATAL_ERROR "exe_format needs ${tool} (the MinGW objdump and windres)")
  endif()
endforeach()
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(exe_format pe32)
else()
  set(exe_format pe32+)
endif()
add_test(NAME exe_format
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_exe_format.sh
          $<TARGET_FILE:lexpatch> ${CMAKE_OBJDUMP} ${CMAKE_RC_COMPILER} ${PROJECT_VERSION} ${exe_format})
