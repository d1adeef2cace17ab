# The release package, made by make_package.cmake: `make dist` writes it to
# dist/kestro-<version>-win64.zip; a test makes one in the build, unpacks
# it, checks it and plays an example from it.
find_program(KESTRO_OSSLSIGNCODE osslsigncode REQUIRED)
set(package_arguments
  -DPROGRAM=$<TARGET_FILE:kestro> -DVERSION=${PROJECT_VERSION} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
  -DICONV=${KESTRO_ICONV} -DOSSLSIGNCODE=${KESTRO_OSSLSIGNCODE})
add_custom_target(dist
  COMMAND ${CMAKE_COMMAND} ${package_arguments} -DWORK_DIR=${PROJECT_BINARY_DIR}/dist
    -DOUTPUT=${PROJECT_SOURCE_DIR}/dist/kestro-${PROJECT_VERSION}-win64.zip
    -P ${PROJECT_SOURCE_DIR}/cmake/make_package.cmake
  DEPENDS kestro
  VERBATIM)

if(CMAKE_CROSSCOMPILING)
  string(REPLACE ";" " " emulator "${CMAKE_CROSSCOMPILING_EMULATOR}")
  add_test(NAME package COMMAND ${CMAKE_COMMAND} ${package_arguments}
    -DWORK_DIR=${PROJECT_BINARY_DIR}/package-test "-DEMULATOR=${emulator}"
    -P ${PROJECT_SOURCE_DIR}/tests/e2e/package_check.cmake)
  # It plays a script: it takes its turn at the desktop.
  set_tests_properties(package PROPERTIES RESOURCE_LOCK desktop TIMEOUT 300)
endif()
