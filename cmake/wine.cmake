# Runs Windows test programs under Wine on a virtual X display.
# add_wine_test(<name> <target> [ARGS ...] [LABELS ...])
function(add_wine_test name target)
  cmake_parse_arguments(W "" "" "ARGS;LABELS" ${ARGN})
  add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:${target}> ${W_ARGS})
  if(W_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${W_LABELS}")
  endif()
endfunction()
