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

set(LABEL "update signing")
include(${CMAKE_CURRENT_LIST_DIR}/../../src/testing/test_certificates.cmake)

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
make_root(root "/CN=Kestro End-to-End Test Root")
make_signer(vendor "/C=CN/O=Zelmo/CN=Zelmo Software" root)
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
