# velmora_check_update_key(<key>): stops the configure step unless key is
# empty or the Base64 of 32 bytes, as VELMORA_UPDATE_PUBLIC_KEY must be.
#
# velmora_require_update_key(<key> <allow-unsigned> <core-only> <configs>):
# stops the configure step of a build for users (one of configs Release,
# RelWithDebInfo or MinSizeRel) that makes the program without a key, unless
# the builder allows unsigned updates, which then earns a warning. A Debug
# build, and a core-only one (no program), need no key.
#
# Run as a script (cmake -DVELMORA_UPDATE_PUBLIC_KEY=... [-DCMAKE_BUILD_TYPE=...]
# [-DVELMORA_ALLOW_UNSIGNED_UPDATES=ON] -P this file), it checks those values
# as a build that makes the program would, for the tests.
if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

function(velmora_check_update_key key)
  if(key STREQUAL "")
    return()
  endif()
  string(LENGTH "${key}" length)
  # 32 bytes are 43 Base64 digits and one '='; the last digit's low two bits
  # are padding and must be zero, or two texts would name one key.
  if(NOT length EQUAL 44 OR NOT key MATCHES "^[A-Za-z0-9+/]+[AEIMQUYcgkosw048]=$")
    message(FATAL_ERROR "VELMORA_UPDATE_PUBLIC_KEY must be empty or the Base64 of a 32-byte Ed25519 public key "
                        "(44 characters, the last one '='), as `velmora-sign keygen KEYFILE` or "
                        "`openssl pkey -in KEY.pem -pubout -outform DER | tail -c 32 | base64` prints it; "
                        "it is \"${key}\" (${length} characters)")
  endif()
endfunction()

function(velmora_require_update_key key allow_unsigned core_only configs)
  if(NOT key STREQUAL "" OR core_only)
    return()
  endif()
  if(allow_unsigned)
    message(WARNING "VELMORA_ALLOW_UNSIGNED_UPDATES is ON: this program checks no signature and takes any "
                    "archive from anyone on the path to the site as its update. A build for users wants "
                    "-DVELMORA_UPDATE_PUBLIC_KEY= instead (velmora-sign keygen makes the key pair).")
    return()
  endif()
  foreach(config IN LISTS configs)
    string(TOUPPER "${config}" upper)
    if(upper MATCHES "^(RELEASE|RELWITHDEBINFO|MINSIZEREL)$")
      message(FATAL_ERROR "A build for users (${config}) needs the publisher's public key, "
                          "-DVELMORA_UPDATE_PUBLIC_KEY=<44 characters>: without it the updater takes any "
                          "archive from anyone on the path. velmora-sign makes the key pair and prints the "
                          "key; it builds without Qt:\n"
                          "   cmake -S . -B build-sign -DVELMORA_CORE_ONLY=ON -DVELMORA_BUILD_TESTS=OFF\n"
                          "   cmake --build build-sign --target velmora-sign\n"
                          "   build-sign/tools/velmora_sign/velmora-sign keygen release-key.pem\n"
                          "-DVELMORA_ALLOW_UNSIGNED_UPDATES=ON builds such a program anyway.")
    endif()
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  velmora_check_update_key("${VELMORA_UPDATE_PUBLIC_KEY}")
  velmora_require_update_key("${VELMORA_UPDATE_PUBLIC_KEY}" "${VELMORA_ALLOW_UNSIGNED_UPDATES}" OFF
                             "${CMAKE_BUILD_TYPE}")
endif()
