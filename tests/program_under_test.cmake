# Which program the end-to-end and install tests start, and how. By default the mpxtone built
# here; MPXTONE_TEST_EXE names another build of it instead (the cross-built mpxtone.exe, in its
# own build folder beside its CPack configuration), and MPXTONE_TEST_LAUNCHER what starts it.
set(MPXTONE_TEST_EXE "" CACHE FILEPATH
    "Program for the end-to-end tests, in its build folder (default: the mpxtone built here)")
set(MPXTONE_TEST_LAUNCHER "" CACHE STRING "Program that starts MPXTONE_TEST_EXE, such as wine")

if(MPXTONE_TEST_EXE)
  set(program_under_test "${MPXTONE_TEST_EXE}")
  get_filename_component(package_build_dir "${MPXTONE_TEST_EXE}" DIRECTORY)
else()
  set(program_under_test "$<TARGET_FILE:mpxtone>")
  set(package_build_dir "${PROJECT_BINARY_DIR}")
endif()
if(program_under_test MATCHES "\\.exe$")
  set(package_file "mpxtone-${PROJECT_VERSION}-win64.zip")
else()
  string(TOLOWER "linux-${CMAKE_SYSTEM_PROCESSOR}" package_platform)
  set(package_file "mpxtone-${PROJECT_VERSION}-${package_platform}.tar.gz")
endif()

set(test_environment
    "MPXTONE_EXE=${program_under_test}"
    "MPXTONE_PACKAGE=${CMAKE_CURRENT_BINARY_DIR}/package/${package_file}"
    "MPXTONE_CMAKE=${CMAKE_COMMAND}")
set(test_fixtures "")

if(MPXTONE_TEST_LAUNCHER)
  list(APPEND test_environment "MPXTONE_LAUNCHER=${MPXTONE_TEST_LAUNCHER}")
endif()
if(MPXTONE_TEST_LAUNCHER MATCHES "wine")
  # A Wine of its own inside this build folder, made once by the first test: quiet, and the
  # same on every machine whatever the user's own Wine holds. No Mono or Gecko is offered.
  set(wine_environment
      "WINEPREFIX=${CMAKE_CURRENT_BINARY_DIR}/wine-prefix"
      "WINEDEBUG=-all"
      "WINEDLLOVERRIDES=mscoree,mshtml=")
  list(APPEND test_environment ${wine_environment})
  add_test(NAME wine_prefix COMMAND ${MPXTONE_TEST_LAUNCHER} wineboot --init)
  set_tests_properties(wine_prefix PROPERTIES
    ENVIRONMENT "${wine_environment}"
    FIXTURES_SETUP wine_prefix)
  list(APPEND test_fixtures wine_prefix)
endif()

set(package_fixtures ${test_fixtures} mpxtone_package)

# The archive of the program under test, made afresh from its build folder.
add_test(NAME mpxtone_package
  COMMAND ${CMAKE_CPACK_COMMAND} --config "${package_build_dir}/CPackConfig.cmake"
          -B "${CMAKE_CURRENT_BINARY_DIR}/package")
set_tests_properties(mpxtone_package PROPERTIES FIXTURES_SETUP mpxtone_package)

# gtest_discover_tests cannot pass a list of variables through its PROPERTIES, so they are set
# here, on the discovered tests, by a script CTest runs after the discovery scripts.
get_property(multi_config GLOBAL PROPERTY GENERATOR_IS_MULTI_CONFIG)
if(multi_config)
  set(settings_script "${CMAKE_CURRENT_BINARY_DIR}/program_under_test_$<CONFIG>.cmake")
  set(ctest_settings_script
      "${CMAKE_CURRENT_BINARY_DIR}/program_under_test_\${CTEST_CONFIGURATION_TYPE}.cmake")
else()
  set(settings_script "${CMAKE_CURRENT_BINARY_DIR}/program_under_test.cmake")
  set(ctest_settings_script "${settings_script}")
endif()
file(GENERATE OUTPUT "${settings_script}"
  CONTENT "if(mpxtone_end_to_end_tests_TESTS)
  set_tests_properties(\${mpxtone_end_to_end_tests_TESTS} PROPERTIES
    ENVIRONMENT \"${test_environment}\" FIXTURES_REQUIRED \"${test_fixtures}\")
endif()
if(mpxtone_install_tests_TESTS)
  set_tests_properties(\${mpxtone_install_tests_TESTS} PROPERTIES
    ENVIRONMENT \"${test_environment}\" FIXTURES_REQUIRED \"${package_fixtures}\")
endif()
")
file(WRITE "${CMAKE_CURRENT_BINARY_DIR}/program_under_test_include.cmake"
     "include(\"${ctest_settings_script}\")\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES
  "${CMAKE_CURRENT_BINARY_DIR}/program_under_test_include.cmake")
