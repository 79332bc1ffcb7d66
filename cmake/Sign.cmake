# Signs a Windows program with Authenticode (SHA-256) by osslsigncode:
#   cmake -DIN=unsigned.exe -DOUT=signed.exe -DSOURCE_DIR=... -P cmake/Sign.cmake
# The certificate and key come from the PKCS#12 file named by
# VELMORANT_SIGN_PKCS12, its password from VELMORANT_SIGN_PASSWORD; both are
# read from the environment when the build runs, so that neither is written
# into the build folder. A timestamp server is asked only when
# VELMORANT_SIGN_TIMESTAMP_URL names one. Without it the signature's time is
# SOURCE_DATE_EPOCH, or else the last commit's time, so that the same key
# gives the same bytes from every build.
foreach(variable IN ITEMS IN OUT SOURCE_DIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "Sign.cmake needs -D${variable}=...")
  endif()
endforeach()
if(NOT DEFINED ENV{VELMORANT_SIGN_PKCS12} OR "$ENV{VELMORANT_SIGN_PKCS12}" STREQUAL "")
  message(FATAL_ERROR "VELMORANT_SIGN_PKCS12 names no PKCS#12 file")
endif()
find_program(OSSLSIGNCODE osslsigncode REQUIRED)

set(time_options)
if(NOT "$ENV{VELMORANT_SIGN_TIMESTAMP_URL}" STREQUAL "")
  set(time_options -ts "$ENV{VELMORANT_SIGN_TIMESTAMP_URL}")
else()
  set(signing_time "$ENV{SOURCE_DATE_EPOCH}")
  if(signing_time STREQUAL "")
    execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE signing_time OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE git_result)
    if(NOT git_result EQUAL 0 OR signing_time STREQUAL "")
      message(FATAL_ERROR "No signing time: set SOURCE_DATE_EPOCH outside a git checkout")
    endif()
  endif()
  set(time_options -time "${signing_time}")
endif()

# The password goes through a file that only the owner can read, removed at
# once, rather than on a command line that every user can list.
get_filename_component(out_dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${out_dir}")
set(pass_file "${out_dir}/.sign-password")
file(WRITE "${pass_file}" "$ENV{VELMORANT_SIGN_PASSWORD}")
file(CHMOD "${pass_file}" PERMISSIONS OWNER_READ OWNER_WRITE)
file(REMOVE "${OUT}")
execute_process(
  COMMAND "${OSSLSIGNCODE}" sign -pkcs12 "$ENV{VELMORANT_SIGN_PKCS12}" -readpass "${pass_file}"
          -h sha256 -n Velmorant ${time_options} -in "${IN}" -out "${OUT}"
  RESULT_VARIABLE sign_result OUTPUT_VARIABLE sign_output ERROR_VARIABLE sign_output)
file(REMOVE "${pass_file}")
if(NOT sign_result EQUAL 0)
  file(REMOVE "${OUT}")
  message(FATAL_ERROR "Signing ${IN} failed:\n${sign_output}")
endif()
