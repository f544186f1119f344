# The release package: the module libraries and the user guide in one zip,
# zav-ramp-<version>-<platform>.zip. The Windows build makes the one users get
# (cpack --preset win32, or scripts/package).
if(WIN32)
  set(ZAV_PACKAGE_PLATFORM win32)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(ZAV_PACKAGE_PLATFORM linux32)
else()
  set(ZAV_PACKAGE_PLATFORM linux64)
endif()

install(TARGETS ${ZAV_DELIVERABLES} LIBRARY DESTINATION . RUNTIME DESTINATION .)
# A .txt opens in any editor on the machines the modules go to.
install(FILES ${PROJECT_SOURCE_DIR}/docs/user-guide.md DESTINATION . RENAME user-guide.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zav-ramp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME zav-ramp-${PROJECT_VERSION}-${ZAV_PACKAGE_PLATFORM})
# Debugging information stays in the build tree; users get the stripped files.
set(CPACK_STRIP_FILES TRUE)
include(CPack)
