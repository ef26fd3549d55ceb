# Runs Windows test programs under Wine on a virtual X display (scripts/wine-run).
#
# add_wine_test(<name> <target> [ARGS ...] [LABELS ...] [TIMEOUT <seconds>])
#   ARGS may hold generator expressions, e.g. $<TARGET_FILE:lexpatch>; a Unix path reaches the
#   program as it is (the e2e driver turns it into its Z: path). TIMEOUT defaults to 120 s.
#
# Every such test requires the fixture wine_env: the test of that name makes the locale, the
# prefix and the display once (about 15 s the first time, milliseconds after), so no test's own
# time-out pays for it, and a broken Wine set-up shows as one clear failure.
#
# The tests share one display, and a window that another test activates takes the keyboard
# focus from the program under test: they take turns (RESOURCE_LOCK), also under ctest -j.

add_test(NAME wine_env COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-env)
set_tests_properties(wine_env PROPERTIES FIXTURES_SETUP wine_env TIMEOUT 300)

function(add_wine_test name target)
  cmake_parse_arguments(W "" "TIMEOUT" "ARGS;LABELS" ${ARGN})
  if(NOT W_TIMEOUT)
    set(W_TIMEOUT 120)
  endif()
  add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:${target}> ${W_ARGS})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_env TIMEOUT ${W_TIMEOUT} RESOURCE_LOCK wine_display)
  if(W_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${W_LABELS}")
  endif()
endfunction()
