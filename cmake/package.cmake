# The release package: `cmake --build --preset windows --target package` makes
# lexpatch-<version>-win32.zip in the build folder. It holds one folder of that name with the two
# programs, the README, the command-line manual and the licence.
install(TARGETS lexpatch lexpatch-cli RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/docs/cli.md DESTINATION docs)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME lexpatch)
set(CPACK_PACKAGE_VENDOR "The Lexpatch developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Kept apart: include(CPack) leaves CPACK_PACKAGE_FILE_NAME set to the source package's name.
set(LEXPATCH_PACKAGE_NAME lexpatch-${PROJECT_VERSION}-win32)
set(CPACK_PACKAGE_FILE_NAME ${LEXPATCH_PACKAGE_NAME})
include(CPack)
