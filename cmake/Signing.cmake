# Code signing of the files we ship. With a code-signing certificate configured, every one is
# signed with osslsigncode (Authenticode, SHA-256) as it is made, and its signature verified:
# Pellwyn.dll and Menuvane.exe when linked, the MSI package after wixl, the setup and the
# uninstaller it writes inside makensis. A file that does not verify fails the build. Without a
# certificate nothing is signed, and configuring says so once.
#   -DMENUVANE_SIGN_PKCS12=cert.p12 -DMENUVANE_SIGN_PASSWORD_FILE=password.txt
#   [-DMENUVANE_SIGN_TIMESTAMP_URL=http://...] [-DMENUVANE_SIGN_CA_FILE=authorities.pem]
# The password is read from its file by osslsigncode itself: it is in no command line the build
# runs or prints, and in no message of CMake's.
set(MENUVANE_SIGN_PKCS12 "" CACHE FILEPATH
    "Code-signing certificate and key (PKCS#12) for every shipped file; empty: nothing is signed")
set(MENUVANE_SIGN_PASSWORD_FILE "" CACHE FILEPATH "A file holding the password of MENUVANE_SIGN_PKCS12")
set(MENUVANE_SIGN_TIMESTAMP_URL "" CACHE STRING "An RFC 3161 time-stamp server for the signatures; empty: none")
set(MENUVANE_SIGN_CA_FILE "" CACHE FILEPATH
    "The authorities (PEM) that the signatures must verify against; empty: the system's")

# menuvane_sign_when_linked(TARGET): the target's file is signed and verified as it is linked,
# when signing is on. A linker launcher rather than a POST_BUILD step, which only the target's
# own directory may add.
function(menuvane_sign_when_linked target)
  if(NOT MENUVANE_SIGN)
    return()
  endif()
  set_property(TARGET ${target} PROPERTY CXX_LINKER_LAUNCHER ${MENUVANE_SIGN} link --)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${MENUVANE_SIGN_DEPENDS})
endfunction()

# MENUVANE_SIGN: the command that signs files in place and verifies them (menuvane-sign sign
# FILE...) or verifies only (menuvane-sign verify FILE...); empty when nothing is signed.
set(MENUVANE_SIGN "" CACHE INTERNAL "")
set(MENUVANE_SIGN_DEPENDS "" CACHE INTERNAL "")
if(NOT MENUVANE_SIGN_PKCS12)
  message(NOTICE "Code signing is off: nothing this build ships will be signed "
                 "(MENUVANE_SIGN_PKCS12 and MENUVANE_SIGN_PASSWORD_FILE name a certificate to sign with)")
  return()
endif()
if(NOT EXISTS "${MENUVANE_SIGN_PKCS12}" OR IS_DIRECTORY "${MENUVANE_SIGN_PKCS12}")
  message(FATAL_ERROR "MENUVANE_SIGN_PKCS12: no such file: ${MENUVANE_SIGN_PKCS12}")
endif()
# A value that names no file may be the password itself, set by mistake: it is neither shown nor
# kept in the cache.
if(NOT MENUVANE_SIGN_PASSWORD_FILE OR NOT EXISTS "${MENUVANE_SIGN_PASSWORD_FILE}"
   OR IS_DIRECTORY "${MENUVANE_SIGN_PASSWORD_FILE}")
  unset(MENUVANE_SIGN_PASSWORD_FILE CACHE)
  message(FATAL_ERROR "MENUVANE_SIGN_PASSWORD_FILE must name the file that holds the certificate's "
                      "password (the value given names no file; it is not shown, and not kept)")
endif()
if(MENUVANE_SIGN_CA_FILE AND NOT EXISTS "${MENUVANE_SIGN_CA_FILE}")
  message(FATAL_ERROR "MENUVANE_SIGN_CA_FILE: no such file: ${MENUVANE_SIGN_CA_FILE}")
endif()
find_program(OSSLSIGNCODE osslsigncode REQUIRED)

# The wrapper, with every setting quoted for sh; rewritten only when a setting changes.
function(menuvane_sign_quote var value)
  string(REPLACE "'" "'\\''" value "${value}")
  set(${var} "'${value}'" PARENT_SCOPE)
endfunction()
get_filename_component(pkcs12_path "${MENUVANE_SIGN_PKCS12}" ABSOLUTE)
get_filename_component(password_path "${MENUVANE_SIGN_PASSWORD_FILE}" ABSOLUTE)
set(ca_path "")
if(MENUVANE_SIGN_CA_FILE)
  get_filename_component(ca_path "${MENUVANE_SIGN_CA_FILE}" ABSOLUTE)
endif()
menuvane_sign_quote(sign_file "${CMAKE_CURRENT_LIST_DIR}/sign-file")
menuvane_sign_quote(pkcs12 "${pkcs12_path}")
menuvane_sign_quote(password_file "${password_path}")
menuvane_sign_quote(timestamp "${MENUVANE_SIGN_TIMESTAMP_URL}")
menuvane_sign_quote(ca "${ca_path}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/menuvane-sign.in ${CMAKE_BINARY_DIR}/menuvane-sign @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE)
set(MENUVANE_SIGN ${CMAKE_BINARY_DIR}/menuvane-sign CACHE INTERNAL "")
set(MENUVANE_SIGN_CA "${ca_path}" CACHE INTERNAL "")  # for the tests; empty: the system's
# What a signature depends on: a new certificate or setting signs everything again.
set(MENUVANE_SIGN_DEPENDS ${MENUVANE_SIGN} ${pkcs12_path} CACHE INTERNAL "")
message(STATUS "Code signing: every shipped file, with ${MENUVANE_SIGN_PKCS12}")
