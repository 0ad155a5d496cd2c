# Authenticode signing of what the build ships, off unless a key is named. scripts/sign.sh
# signs each file with SHA-1 and then a nested SHA-256 signature, at the commit's time; the key's
# passphrase, if any, comes from the environment variable QX481_SIGN_PASSPHRASE when the build
# runs, never from here.
set(QX481_SIGN_KEY "" CACHE FILEPATH "PEM private key that signs the shipped files (empty: none)")
set(QX481_SIGN_CERT "" CACHE FILEPATH "PEM certificate of that key, followed by its chain")
set(QX481_SIGN_TIMESTAMP "" CACHE STRING "Timestamp server URL for the signatures (optional)")
if(QX481_SIGN_KEY AND NOT QX481_SIGN_CERT)
    message(FATAL_ERROR "QX481_SIGN_KEY needs QX481_SIGN_CERT, its certificate and chain")
endif()
find_program(OSSLSIGNCODE osslsigncode)

# Sets VAR to the command that signs the file named last, with KEY and CERT.
function(signing_command var key cert)
    if(NOT OSSLSIGNCODE)
        message(FATAL_ERROR "signing needs osslsigncode (scripts/setup.sh installs it)")
    endif()
    set(command ${CMAKE_SOURCE_DIR}/scripts/sign.sh --key ${key} --cert ${cert})
    if(QX481_SIGN_TIMESTAMP)
        list(APPEND command --timestamp ${QX481_SIGN_TIMESTAMP})
    endif()
    set(${var} ${command} PARENT_SCOPE)
endfunction()

# OUTPUT is INPUT signed with the command SIGN (a list, as signing_command gives it); INPUT stays
# as it was. Further arguments are what the signing depends on besides INPUT.
function(add_signed_copy output input sign)
    add_custom_command(OUTPUT ${output}
                       COMMAND ${CMAKE_COMMAND} -E copy ${input} ${output}.signing
                       COMMAND ${sign} ${output}.signing
                       COMMAND ${CMAKE_COMMAND} -E rename ${output}.signing ${output}
                       DEPENDS ${input} ${CMAKE_SOURCE_DIR}/scripts/sign.sh ${ARGN}
                       COMMENT "Signing ${output}" VERBATIM)
endfunction()
