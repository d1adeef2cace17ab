# The real signature check under Wine, run by ctest in the Windows build:
# a throw-away certificate authority signs a "vendor" and an "other"
# publisher, osslsigncode signs copies of the probe program with them, and
# the probe, itself signed as the vendor, states what WinVerifyTrust and the
# trust decision make of each copy: before the test root is trusted, while
# it is, and when the running program is unsigned. Keys and certificates are
# made fresh in the build directory at every run; none is committed.
#
#   cmake -DPROBE=probe.exe -DWORK_DIR=dir -DEMULATOR="env ... wine64"
#         -DOPENSSL=openssl -DOSSLSIGNCODE=osslsigncode -P code_signing_check.cmake

foreach(input PROBE WORK_DIR EMULATOR OPENSSL OSSLSIGNCODE)
  if(NOT ${input})
    message(FATAL_ERROR "signature check: ${input} is not set")
  endif()
endforeach()
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

set(LABEL "signature check")
include(${CMAKE_CURRENT_LIST_DIR}/test_certificates.cmake)

# Runs the probe under Wine and leaves its output, without CRs, in `var`.
function(probe var program)
  execute_process(COMMAND ${emulator} ${program} ${ARGN} WORKING_DIRECTORY "${WORK_DIR}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  string(REPLACE "\r" "" output "${output}")
  if(NOT result EQUAL 0)
    set(output "${output}(probe ended with ${result}: ${errors})\n")
  endif()
  set(${var} "${output}" PARENT_SCOPE)
endfunction()

set(vendor "/C=CN/O=Zelmo/CN=Zelmo Software")
make_root(test-root "/CN=Kestro Test Root")
make_root(unknown-root "/CN=Unknown Root")
make_signer(vendor "${vendor}" test-root)
make_signer(other "/C=US/O=Other/CN=Other Software" test-root)
# The vendor's name twice more: under a root nobody trusts, and self-signed.
make_signer(impostor "${vendor}" unknown-root)
make_signer(self "${vendor}" self)

file(COPY_FILE "${PROBE}" "${WORK_DIR}/probe.exe")
file(COPY_FILE "${PROBE}" "${WORK_DIR}/unsigned.exe")
function(sign signer out)
  run(${OSSLSIGNCODE} sign -certs ${signer}.pem -key ${signer}.key -h sha256
      -in probe.exe -out ${out})
endfunction()
sign(vendor probe-signed.exe)
sign(vendor by-us.exe)
sign(other by-other.exe)
sign(impostor impostor.exe)
sign(self self-signed.exe)
run(${emulator} probe.exe tamper by-us.exe tampered.exe)

set(files unsigned.exe by-us.exe by-other.exe tampered.exe self-signed.exe impostor.exe)
set(us "[CN=Zelmo Software, O=Zelmo, C=CN]")

probe(untrusted probe-signed.exe verdicts ${files})
run(${emulator} probe.exe trust-root test-root.der)
probe(trusted probe-signed.exe verdicts ${files})
probe(unsigned_self probe.exe verdicts by-us.exe)
# The test root must not outlive the test in the prefix.
run(${emulator} probe.exe distrust-root test-root.der)

set(failures "")
function(expect label actual expected)
  if(NOT actual STREQUAL expected)
    set(failures "${failures}--- ${label}: expected\n${expected}--- got\n${actual}" PARENT_SCOPE)
  endif()
endfunction()

expect("test root not trusted" "${untrusted}" "\
running program: invalid
unsigned.exe: unsigned -> refused
by-us.exe: invalid -> refused
by-other.exe: invalid -> refused
tampered.exe: invalid -> refused
self-signed.exe: invalid -> refused
impostor.exe: invalid -> refused
")
expect("test root trusted" "${trusted}" "\
running program: valid ${us}
unsigned.exe: unsigned -> refused
by-us.exe: valid ${us} -> trusted
by-other.exe: valid [CN=Other Software, O=Other, C=US] -> refused
tampered.exe: invalid -> refused
self-signed.exe: invalid -> refused
impostor.exe: invalid -> refused
")
expect("unsigned running program" "${unsigned_self}" "\
running program: unsigned
by-us.exe: valid ${us} -> refused
")

if(failures)
  message(FATAL_ERROR "signature check:\n${failures}")
endif()
message(STATUS "signature check: WinVerifyTrust and the trust decision behave as expected")
