# Makes the package as `make dist` does, unpacks it and checks what a user
# gets: every file listed in SHA256SUMS with its right sum, the program as
# built, the guide as Notepad wants it, the examples in GBK, and an example
# that plays from the command line to its end.
#
#   cmake -DPROGRAM=kestro.exe -DVERSION=5.0.0.0 -DSOURCE_DIR=<repository>
#         -DICONV=iconv -DOSSLSIGNCODE=osslsigncode -DWORK_DIR=dir
#         -DEMULATOR="env ... wine64" -P package_check.cmake

cmake_minimum_required(VERSION 3.25)

foreach(input PROGRAM VERSION SOURCE_DIR ICONV OSSLSIGNCODE WORK_DIR EMULATOR)
  if(NOT ${input})
    message(FATAL_ERROR "package check: ${input} is not set")
  endif()
endforeach()
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")

set(failures "")
macro(fail message)
  string(APPEND failures "\n  ${message}")
endmacro()

# A file's bytes as "xx " tokens: file(READ) as text drops CRs.
function(read_bytes path out)
  file(READ "${path}" hex HEX)
  string(REGEX REPLACE "(..)" "\\1 " spaced "${hex}")
  set(${out} "${spaced}" PARENT_SCOPE)
endfunction()

set(zip "${WORK_DIR}/kestro-${VERSION}-win64.zip")
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${CMAKE_COMMAND}" -DPROGRAM=${PROGRAM} -DVERSION=${VERSION}
  -DSOURCE_DIR=${SOURCE_DIR} -DICONV=${ICONV} -DOSSLSIGNCODE=${OSSLSIGNCODE}
  -DWORK_DIR=${WORK_DIR}/making -DOUTPUT=${zip} -P ${SOURCE_DIR}/cmake/make_package.cmake
  RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT EXISTS "${zip}")
  message(FATAL_ERROR "package check: no package was made")
endif()
file(MAKE_DIRECTORY "${WORK_DIR}/unpacked")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env LC_ALL=C.UTF-8 "${CMAKE_COMMAND}" -E tar xf "${zip}"
  WORKING_DIRECTORY "${WORK_DIR}/unpacked" RESULT_VARIABLE result)
set(folder "${WORK_DIR}/unpacked/kestro-${VERSION}-win64")
if(NOT result EQUAL 0 OR NOT IS_DIRECTORY "${folder}")
  message(FATAL_ERROR "package check: the package does not unpack into kestro-${VERSION}-win64")
endif()

# SHA256SUMS names every other file once, each with its sum.
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${folder}" "${folder}/*")
list(REMOVE_ITEM files SHA256SUMS)
list(SORT files)
file(STRINGS "${folder}/SHA256SUMS" sum_lines ENCODING UTF-8)
set(listed "")
foreach(line IN LISTS sum_lines)
  string(REGEX MATCH "^([0-9a-f]+)  (.+)$" matched "${line}")
  if(NOT matched)
    fail("a SHA256SUMS line reads '${line}'")
    continue()
  endif()
  set(name "${CMAKE_MATCH_2}")
  set(sum "${CMAKE_MATCH_1}")
  list(APPEND listed "${name}")
  if(EXISTS "${folder}/${name}")
    file(SHA256 "${folder}/${name}" hash)
    if(NOT hash STREQUAL sum)
      fail("the sum of ${name} is wrong")
    endif()
  endif()
endforeach()
if(NOT listed STREQUAL files)
  fail("SHA256SUMS lists '${listed}', the package holds '${files}'")
endif()

file(SHA256 "${PROGRAM}" built)
file(SHA256 "${folder}/kestro.exe" packaged)
if(NOT built STREQUAL packaged)
  fail("kestro.exe is not the program built")
endif()

# Notepad: a byte-order mark, CR LF, and the version and signature first.
read_bytes("${folder}/使用说明.txt" guide_bytes)
string(FIND "${guide_bytes}" "ef bb bf " bom)
string(REPLACE "0d 0a " "" bare "${guide_bytes}")
string(FIND "${bare}" "0a " lone)
if(NOT bom EQUAL 0 OR NOT lone EQUAL -1)
  fail("使用说明.txt is not UTF-8 with a byte-order mark and CR LF")
endif()
file(READ "${folder}/使用说明.txt" guide)
string(FIND "${guide}" "Zelmo按键 ${VERSION}（64 位 Windows）\nkestro.exe 未签名" head)
if(NOT head EQUAL 3)
  fail("使用说明.txt does not begin with the version and that the program is unsigned")
endif()
string(FIND "${guide}" "kestro.exe --play" command_line)
if(command_line EQUAL -1)
  fail("使用说明.txt says nothing of the command line")
endif()

# Each example is its source in GBK with CR LF, no more and no less.
file(GLOB sources RELATIVE "${SOURCE_DIR}/examples" "${SOURCE_DIR}/examples/*.ini")
list(LENGTH sources source_count)
if(source_count LESS 3)
  fail("fewer than three examples")
endif()
foreach(example IN LISTS sources)
  execute_process(COMMAND "${ICONV}" -f UTF-8 -t GBK "${SOURCE_DIR}/examples/${example}"
    OUTPUT_FILE "${WORK_DIR}/expected.ini")
  read_bytes("${WORK_DIR}/expected.ini" expected)
  string(REPLACE "0a " "0d 0a " expected "${expected}")
  read_bytes("${folder}/例子/${example}" packaged)
  if(NOT packaged STREQUAL expected)
    fail("例子/${example} is not its source in GBK with CR LF")
  endif()
endforeach()

# Played from the command line, as a scheduled task would. (Wine turns
# arguments into UTF-16 by the locale, so the path given is plain ASCII.)
file(COPY_FILE "${folder}/例子/鼠标绕方框走两圈.ini" "${folder}/square.ini")
execute_process(COMMAND ${emulator} kestro.exe --play square.ini
  WORKING_DIRECTORY "${folder}" RESULT_VARIABLE played TIMEOUT 60)
if(NOT played STREQUAL "0")
  fail("kestro.exe --play square.ini ended with '${played}', not 0")
endif()

if(failures)
  message(FATAL_ERROR "package check:${failures}")
endif()
message(STATUS "package check: ${zip} is complete and plays")
