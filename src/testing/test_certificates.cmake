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
# signed by the root <root>, or by itself when root is "self".
function(make_signer name subject root)
  if(root STREQUAL "self")
    run(${OPENSSL} req -x509 -new -newkey rsa:2048 -nodes -keyout ${name}.key -out ${name}.pem
        -days 2 -subj ${subject} -config ${certificate_profiles} -extensions signer)
    return()
  endif()
  run(${OPENSSL} req -new -newkey rsa:2048 -nodes -keyout ${name}.key -out ${name}.csr
      -subj ${subject} -config ${certificate_profiles})
  run(${OPENSSL} x509 -req -in ${name}.csr -CA ${root}.pem -CAkey ${root}.key -out ${name}.pem
      -days 2 -extfile ${certificate_profiles} -extensions signer)
endfunction()
