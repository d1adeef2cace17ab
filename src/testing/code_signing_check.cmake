# The real signature check under Wine, run by ctest in the Windows build:
# a throw-away certificate authority signs a "vendor" and an "other"
# publisher, and certificates that bear the vendor's name but must not be
# taken for it (expired, not yet valid, for a web server only, issued by a
# certificate that is no authority, another key); osslsigncode signs copies
# of the probe program with them, and the probe, itself signed as the
# vendor, states what the check and the trust decision make of each copy:
# before the test root is trusted, while it is, with a successor key named,
# and when the running program is unsigned. Keys and certificates are
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
# The vendor's name again: under a root nobody trusts, self-signed, dated in
# the past and in the future, for a web server, issued by the other
# publisher's own signing certificate, and with a key of its own.
make_signer(impostor "${vendor}" unknown-root)
make_signer(self "${vendor}" self)
make_signer(expired "${vendor}" test-root FROM 200101000000Z UNTIL 200102000000Z)
make_signer(early "${vendor}" test-root FROM 400101000000Z UNTIL 400102000000Z)
make_signer(server "${vendor}" test-root PROFILE server)
make_signer(under-other "${vendor}" other)
file(READ "${WORK_DIR}/under-other.pem" leaf)
file(READ "${WORK_DIR}/other.pem" issuer)
file(WRITE "${WORK_DIR}/under-other-chain.pem" "${leaf}${issuer}")
make_signer(next "${vendor}" test-root)
signer_key(vendor_key vendor)
signer_key(other_key other)
signer_key(next_key next)

file(COPY_FILE "${PROBE}" "${WORK_DIR}/probe.exe")
file(COPY_FILE "${PROBE}" "${WORK_DIR}/unsigned.exe")
function(sign signer out)
  set(certs ${signer}.pem)
  if(EXISTS "${WORK_DIR}/${signer}-chain.pem")
    set(certs ${signer}-chain.pem)
  endif()
  run(${OSSLSIGNCODE} sign -certs ${certs} -key ${signer}.key -h sha256 -in probe.exe -out ${out})
endfunction()
sign(vendor probe-signed.exe)
sign(vendor by-us.exe)
sign(other by-other.exe)
sign(impostor impostor.exe)
sign(self self-signed.exe)
sign(expired expired.exe)
sign(early early.exe)
sign(server server-only.exe)
sign(under-other under-other.exe)
sign(next next-key.exe)
run(${emulator} probe.exe tamper by-us.exe tampered.exe)

set(files unsigned.exe by-us.exe by-other.exe tampered.exe self-signed.exe impostor.exe
  expired.exe early.exe server-only.exe under-other.exe next-key.exe)
set(us "[CN=Zelmo Software, O=Zelmo, C=CN]")

probe(untrusted probe-signed.exe verdicts ${files})
run(${emulator} probe.exe trust-root test-root.der)
probe(trusted probe-signed.exe verdicts ${files})
probe(successor probe-signed.exe verdicts --successor ${next_key} next-key.exe by-us.exe)
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
expired.exe: invalid -> refused
early.exe: invalid -> refused
server-only.exe: invalid -> refused
under-other.exe: invalid -> refused
next-key.exe: invalid -> refused
")
expect("test root trusted" "${trusted}" "\
running program: valid ${us} ${vendor_key}
unsigned.exe: unsigned -> refused
by-us.exe: valid ${us} ${vendor_key} -> trusted
by-other.exe: valid [CN=Other Software, O=Other, C=US] ${other_key} -> refused
tampered.exe: invalid -> refused
self-signed.exe: invalid -> refused
impostor.exe: invalid -> refused
expired.exe: invalid -> refused
early.exe: invalid -> refused
server-only.exe: invalid -> refused
under-other.exe: invalid -> refused
next-key.exe: valid ${us} ${next_key} -> refused
")
expect("successor key named in the build" "${successor}" "\
running program: valid ${us} ${vendor_key}
next-key.exe: valid ${us} ${next_key} -> trusted
by-us.exe: valid ${us} ${vendor_key} -> trusted
")
expect("unsigned running program" "${unsigned_self}" "\
running program: unsigned
by-us.exe: valid ${us} ${vendor_key} -> refused
")

if(failures)
  message(FATAL_ERROR "signature check:\n${failures}")
endif()
message(STATUS "signature check: WinVerifyTrust and the trust decision behave as expected")
