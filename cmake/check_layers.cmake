# Fails when an #include points against the layers, or when code outside the
# platform and application layers asks which system it is built for:
#
#   cmake -DSOURCE_DIR=src -P check_layers.cmake
#
# Dependencies point one way: app -> subsystems -> text -> platform. Tests
# may include what they test and the fakes in testing/, never the app.

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check_layers: SOURCE_DIR is not set")
endif()

# What each folder's code may include, besides its own folder.
set(allowed_platform "")
set(allowed_text "platform")
set(allowed_script "text;platform")
set(allowed_runner "script;text;platform")
set(allowed_recorder "script;text;platform")
set(allowed_hotkeys "text;platform")
set(allowed_update "text;platform")
set(allowed_app "runner;recorder;hotkeys;update;script;text;platform")
set(allowed_testing "runner;recorder;hotkeys;update;script;text;platform")
set(layers platform text script runner recorder hotkeys update app testing)
# Folders that may hold per-system code.
set(system_specific platform app)

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.cpp" "${SOURCE_DIR}/*.h")
set(faults "")
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[^/]+" layer "${source}")
  if(NOT layer IN_LIST layers)
    string(APPEND faults "${source}: not in a known layer\n")
    continue()
  endif()
  set(allowed ${layer} ${allowed_${layer}})
  if(source MATCHES "_test(_cases)?\\.(cpp|h)$")
    list(APPEND allowed testing runner recorder hotkeys update script text platform)
  endif()
  file(STRINGS "${SOURCE_DIR}/${source}" lines REGEX "^[ \t]*#[ \t]*(include|if|ifdef|ifndef|elif)")
  foreach(line IN LISTS lines)
    if(line MATCHES "_WIN32" AND NOT layer IN_LIST system_specific)
      string(APPEND faults "${source}: asks for _WIN32 outside platform and app code\n")
    endif()
    if(NOT line MATCHES "#[ \t]*include[ \t]*\"([^/\"]+)/")
      continue()
    endif()
    set(target "${CMAKE_MATCH_1}")
    if(target IN_LIST layers AND NOT target IN_LIST allowed)
      string(APPEND faults "${source}: includes ${target}/, against the layers\n")
    endif()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "check_layers:\n${faults}")
endif()
list(LENGTH sources count)
message(STATUS "check_layers: ${count} files keep to their layers")
