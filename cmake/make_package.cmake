# Makes the release package, a zip of one folder:
#
#   cmake -DPROGRAM=kestro.exe -DVERSION=5.0.0.0 -DSOURCE_DIR=<repository>
#         -DICONV=iconv -DOSSLSIGNCODE=osslsigncode -DWORK_DIR=<scratch folder>
#         -DOUTPUT=kestro-5.0.0.0-win64.zip -P make_package.cmake
#
# The folder kestro-<version>-win64 holds kestro.exe; 使用说明.txt, the
# user's guide (README.zh-CN.md) in UTF-8 with a byte-order mark and CR LF,
# so Notepad shows it, headed by the version and whether the program is
# signed; 例子/, the example scripts in GBK with CR LF, as the program reads
# and writes them; and SHA256SUMS, a line "<SHA-256>  <name>" for each of the
# others. A failure leaves no zip behind.

cmake_minimum_required(VERSION 3.25)

foreach(input PROGRAM VERSION SOURCE_DIR ICONV OSSLSIGNCODE WORK_DIR OUTPUT)
  if(NOT ${input})
    message(FATAL_ERROR "package: ${input} is not set")
  endif()
endforeach()

set(name "kestro-${VERSION}-win64")
set(folder "${WORK_DIR}/${name}")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${folder}/例子")
file(REMOVE "${OUTPUT}")
file(COPY_FILE "${PROGRAM}" "${folder}/kestro.exe")

# Signed means the program carries a signature; whether Windows trusts it is
# the signer's affair, and an unsigned program never updates itself.
execute_process(COMMAND "${OSSLSIGNCODE}" extract-signature -in "${PROGRAM}"
  -out "${WORK_DIR}/signature.der" RESULT_VARIABLE unsigned OUTPUT_QUIET ERROR_QUIET)
file(REMOVE "${WORK_DIR}/signature.der")
if(unsigned)
  set(signature "kestro.exe 未签名：它不检查、也不安装更新。")
else()
  set(signature "kestro.exe 已签名：它在每次启动时检查更新。")
endif()

# The guide: pictures cannot show in Notepad, the rest reads as it is.
file(READ "${SOURCE_DIR}/README.zh-CN.md" text)
string(REGEX REPLACE "\n!\\[[^\n]*\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 guide)
string(APPEND guide "Zelmo按键 ${VERSION}（64 位 Windows）\r\n${signature}\r\n\r\n${text}")
file(WRITE "${folder}/使用说明.txt" "${guide}")

file(GLOB examples RELATIVE "${SOURCE_DIR}/examples" "${SOURCE_DIR}/examples/*.ini")
foreach(example IN LISTS examples)
  file(READ "${SOURCE_DIR}/examples/${example}" text)
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${WORK_DIR}/crlf.ini" "${text}")
  execute_process(COMMAND "${ICONV}" -f UTF-8 -t GBK "${WORK_DIR}/crlf.ini"
    OUTPUT_FILE "${folder}/例子/${example}" RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "package: examples/${example} does not convert to GBK: ${errors}")
  endif()
endforeach()
file(REMOVE "${WORK_DIR}/crlf.ini")

file(GLOB_RECURSE files RELATIVE "${folder}" "${folder}/*")
list(SORT files)
set(sums "")
foreach(file IN LISTS files)
  file(SHA256 "${folder}/${file}" hash)
  string(APPEND sums "${hash}  ${file}\n")
endforeach()
file(WRITE "${folder}/SHA256SUMS" "${sums}")

# The names are Chinese: the zip marks them UTF-8 only under a UTF-8 locale.
get_filename_component(output_folder "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${output_folder}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env LC_ALL=C.UTF-8
  "${CMAKE_COMMAND}" -E tar cf "${OUTPUT}.partial" --format=zip "${name}"
  WORKING_DIRECTORY "${WORK_DIR}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}.partial")
  message(FATAL_ERROR "package: the zip could not be made")
endif()
file(RENAME "${OUTPUT}.partial" "${OUTPUT}")
message(STATUS "Package: ${OUTPUT}")
