# Throw-away certificates for the signing tests, made with openssl in
# WORK_DIR. Include it with WORK_DIR, OPENSSL and LABEL (the name a failure
# is reported under) set.

# Runs a command in WORK_DIR; a failure ends the script with its output.
function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${WORK_DIR}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${LABEL}: '${ARGN}' failed (${result}):\n${output}${errors}")
  endif()
endfunction()

set(certificate_profiles "${CMAKE_CURRENT_LIST_DIR}/test_certificates.cnf")

# A root that signs certificates: <name>.key, <name>.pem and <name>.der.
function(make_root name subject)
  run(${OPENSSL} req -x509 -new -newkey rsa:2048 -nodes -keyout ${name}.key -out ${name}.pem
      -days 2 -subj ${subject} -config ${certificate_profiles} -extensions root)
  run(${OPENSSL} x509 -in ${name}.pem -outform der -out ${name}.der)
endfunction()

# A code-signing certificate for the subject: <name>.key and <name>.pem,
# signed by the root <root>, or by itself when root is "self". PROFILE
# picks another profile of the .cnf (server: for a web server only); FROM
# and UNTIL (YYMMDDHHMMSSZ) give it dates of their own; any certificate may
# be the issuer, a signer's too.
function(make_signer name subject root)
  cmake_parse_arguments(PARSE_ARGV 3 cert "" "PROFILE;FROM;UNTIL" "")
  if(NOT cert_PROFILE)
    set(cert_PROFILE signer)
  endif()
  if(root STREQUAL "self")
    run(${OPENSSL} req -x509 -new -newkey rsa:2048 -nodes -keyout ${name}.key -out ${name}.pem
        -days 2 -subj ${subject} -config ${certificate_profiles} -extensions ${cert_PROFILE})
    return()
  endif()
  run(${OPENSSL} req -new -newkey rsa:2048 -nodes -keyout ${name}.key -out ${name}.csr
      -subj ${subject} -config ${certificate_profiles})
  if(cert_FROM)
    file(WRITE "${WORK_DIR}/ca-index.txt" "")
    file(WRITE "${WORK_DIR}/ca-serial" "1000\n")
    run(${OPENSSL} ca -batch -notext -config ${certificate_profiles} -name dated_ca
        -cert ${root}.pem -keyfile ${root}.key -in ${name}.csr -out ${name}.pem
        -startdate ${cert_FROM} -enddate ${cert_UNTIL} -extfile ${certificate_profiles}
        -extensions ${cert_PROFILE})
    return()
  endif()
  run(${OPENSSL} x509 -req -in ${name}.csr -CA ${root}.pem -CAkey ${root}.key -out ${name}.pem
      -days 2 -extfile ${certificate_profiles} -extensions ${cert_PROFILE})
endfunction()

# The signer's public key as the program knows it: SHA-256 of its
# SubjectPublicKeyInfo in hex, into `var`.
function(signer_key var name)
  run(${OPENSSL} x509 -in ${name}.pem -pubkey -noout -out ${name}.pub)
  run(${OPENSSL} pkey -pubin -in ${name}.pub -outform DER -out ${name}.spki)
  file(SHA256 "${WORK_DIR}/${name}.spki" key)
  set(${var} ${key} PARENT_SCOPE)
endfunction()
