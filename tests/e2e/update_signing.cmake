# The signed programs of the update scenarios, made at test time (ctest
# fixture update_signed) in the Wine test prefix:
#
#   cmake -DSTEP=setup|cleanup -DWORK_DIR=dir -DBIN_DIR=bin -DPROGRAM=kestro_loopback_update.exe
#         -DPROBE=code_signing_probe.exe -DEMULATOR="env ... wine64" -DOPENSSL=openssl
#         -DOSSLSIGNCODE=osslsigncode -DSIGN_SCRIPT=sign_program.cmake -P update_signing.cmake
#
# setup: a throw-away root signs a certificate in the vendor's name; the
# root is trusted in the prefix; the loopback build is signed with it as
# BIN_DIR/kestro_loopback_signed.exe (the running program), and signed again
# with another description as BIN_DIR/kestro_loopback_served.exe (the
# update: the same publisher, different bytes). cleanup: the root is no
# longer trusted. Keys and certificates live in WORK_DIR only.

foreach(input STEP WORK_DIR BIN_DIR PROBE EMULATOR)
  if(NOT ${input})
    message(FATAL_ERROR "update signing: ${input} is not set")
  endif()
endforeach()
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")

function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${WORK_DIR}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "update signing: '${ARGN}' failed (${result}):\n${output}${errors}")
  endif()
endfunction()

set(signed "${BIN_DIR}/kestro_loopback_signed.exe")
set(served "${BIN_DIR}/kestro_loopback_served.exe")

if(STEP STREQUAL "cleanup")
  if(EXISTS "${WORK_DIR}/root.der")
    run(${emulator} "${PROBE}" distrust-root root.der)
  endif()
  file(REMOVE "${signed}" "${served}")
  return()
endif()

foreach(input PROGRAM OPENSSL OSSLSIGNCODE SIGN_SCRIPT)
  if(NOT ${input})
    message(FATAL_ERROR "update signing: ${input} is not set")
  endif()
endforeach()
file(REMOVE "${signed}" "${served}")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/../../src/testing/test_certificates.cnf" "${WORK_DIR}/openssl.cnf")
run(${OPENSSL} req -x509 -new -newkey rsa:2048 -nodes -keyout root.key -out root.pem -days 2
    -subj "/CN=Kestro End-to-End Test Root" -config openssl.cnf -extensions root)
run(${OPENSSL} x509 -in root.pem -outform der -out root.der)
run(${OPENSSL} req -new -newkey rsa:2048 -nodes -keyout vendor.key -out vendor.csr
    -subj "/C=CN/O=Zelmo/CN=Zelmo Software" -config openssl.cnf)
run(${OPENSSL} x509 -req -in vendor.csr -CA root.pem -CAkey root.key -out vendor.pem -days 2
    -extfile openssl.cnf -extensions signer)
run(${emulator} "${PROBE}" trust-root root.der)

function(sign out description)
  run(${CMAKE_COMMAND} -DOSSLSIGNCODE=${OSSLSIGNCODE} -DCERT=vendor.pem -DKEY=vendor.key
      -DIN=${PROGRAM} -DOUT=${out} -DDESCRIPTION=${description} -P ${SIGN_SCRIPT})
endfunction()
sign("${signed}" "Zelmo running")
sign("${served}" "Zelmo update")
file(SHA256 "${signed}" signed_hash)
file(SHA256 "${served}" served_hash)
if(signed_hash STREQUAL served_hash)
  message(FATAL_ERROR "update signing: the served program has the running program's bytes")
endif()
message(STATUS "update signing: ${signed} and ${served} signed as the vendor")
