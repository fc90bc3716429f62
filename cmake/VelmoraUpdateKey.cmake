# velmora_check_update_key(<key>): stops the configure step unless key is
# empty or the Base64 of 32 bytes, as VELMORA_UPDATE_PUBLIC_KEY must be.
# Run as a script (cmake -DVELMORA_UPDATE_PUBLIC_KEY=... -P this file), it
# checks that one value, for the tests.
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
                        "(44 characters, the last one '='), as "
                        "`openssl pkey -in KEY.pem -pubout -outform DER | tail -c 32 | base64` prints it; "
                        "it is \"${key}\" (${length} characters)")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  velmora_check_update_key("${VELMORA_UPDATE_PUBLIC_KEY}")
endif()
