# Signs a Windows program with osslsigncode (Authenticode, SHA-256):
#
#   cmake -DOSSLSIGNCODE=osslsigncode -DCERT=vendor.pem -DKEY=vendor-key.pem
#         -DIN=kestro.exe [-DOUT=signed.exe] [-DDESCRIPTION=text] -P sign_program.cmake
#
# CERT holds the signing certificate and any intermediate ones (PEM), KEY
# its private key (PEM, not encrypted). Without OUT the program is signed in
# place. When signing fails, the output is removed and the script fails, so
# no build ever leaves an unsigned program where a signed one was asked for
# (and the next build makes it again).

cmake_minimum_required(VERSION 3.25)

foreach(input OSSLSIGNCODE CERT KEY IN)
  if(NOT ${input})
    message(FATAL_ERROR "sign_program: ${input} is not set")
  endif()
endforeach()
if(NOT OUT)
  set(OUT "${IN}")
endif()
set(signed "${OUT}.signing")
file(REMOVE "${signed}")

set(description "")
if(DESCRIPTION)
  set(description -n "${DESCRIPTION}")
endif()
execute_process(
  COMMAND "${OSSLSIGNCODE}" sign -certs "${CERT}" -key "${KEY}" -h sha256 ${description}
          -in "${IN}" -out "${signed}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT EXISTS "${signed}")
  file(REMOVE "${signed}" "${OUT}")
  message(FATAL_ERROR "sign_program: signing ${IN} failed (${result}):\n${output}${errors}")
endif()
file(RENAME "${signed}" "${OUT}")
