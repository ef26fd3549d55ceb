# Runs Windows test programs under Wine on a virtual X display (scripts/wine-run): 32-bit Wine in
# a 32-bit build, wine64 in a 64-bit one (LEXPATCH_WINE_ARCH, see scripts/wine-env).
#
# add_wine_test(<name> <target> [ARGS ...] [LABELS ...] [TIMEOUT <seconds>])
#   ARGS may hold generator expressions, e.g. $<TARGET_FILE:lexpatch>; a Unix path reaches the
#   program as it is (the e2e driver turns it into its Z: path). TIMEOUT defaults to 120 s.
#
# Every such test requires the fixture wine_env: the test of that name makes the locale, the
# prefix and the display once (about 15 s the first time, milliseconds after), so no test's own
# time-out pays for it, and a broken Wine set-up shows as one clear failure.
#
# All of them, wine_env too, carry the label wine: `ctest -LE wine` runs the tests that need no
# Wine, as scripts/test does for the 32-bit build where 32-bit programs cannot run.
#
# The tests share one display, and a window that another test activates takes the keyboard
# focus from the program under test: they take turns (RESOURCE_LOCK), also under ctest -j.

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LEXPATCH_WINE_ARCH win64)
else()
  set(LEXPATCH_WINE_ARCH win32)
endif()

add_test(NAME wine_env COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-env)
set_tests_properties(wine_env PROPERTIES FIXTURES_SETUP wine_env TIMEOUT 300 LABELS wine
  ENVIRONMENT LEXPATCH_WINE_ARCH=${LEXPATCH_WINE_ARCH})

function(add_wine_test name target)
  cmake_parse_arguments(W "" "TIMEOUT" "ARGS;LABELS" ${ARGN})
  if(NOT W_TIMEOUT)
    set(W_TIMEOUT 120)
  endif()
  set(labels wine ${W_LABELS})
  add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:${target}> ${W_ARGS})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_env TIMEOUT ${W_TIMEOUT} RESOURCE_LOCK wine_display
    LABELS "${labels}" ENVIRONMENT LEXPATCH_WINE_ARCH=${LEXPATCH_WINE_ARCH})
endfunction()
