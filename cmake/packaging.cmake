# The folder handed to operators, as one archive per platform:
#   mpxtone-<version>-win64.zip, mpxtone-<version>-linux-x86_64.tar.gz
# Each unpacks into one folder: the program, the sample Settings (its output directory is
# `tracks`), that folder, empty, beside the program, and the README. Only the program's own
# component goes in, whatever else the build installs.
#   cmake --build <build folder> --target package     (or: cd <build folder> && cpack)
install(TARGETS mpxtone RUNTIME DESTINATION . COMPONENT mpxtone)
install(FILES Settings README.md DESTINATION . COMPONENT mpxtone)
install(DIRECTORY DESTINATION tracks COMPONENT mpxtone)

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(mpxtone_package_platform win64)
  else()
    set(mpxtone_package_platform win32)
  endif()
  set(CPACK_GENERATOR ZIP)
else()
  string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" mpxtone_package_platform)
  set(CPACK_GENERATOR TGZ)
endif()

set(CPACK_PACKAGE_NAME mpxtone)
set(CPACK_PACKAGE_VENDOR mpxtone)
set(CPACK_PACKAGE_FILE_NAME "mpxtone-${PROJECT_VERSION}-${mpxtone_package_platform}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL mpxtone)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
