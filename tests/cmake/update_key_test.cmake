# What the configure step of a build that makes the program says to the
# values of VELMORA_UPDATE_PUBLIC_KEY, by running its checks on each:
# cmake -DCHECK=<VelmoraUpdateKey.cmake> -P this.
cmake_minimum_required(VERSION 3.25)
set(taken
  ""
  "AQsZlb3FwzbRXtjV+rIExn+Ka0yjBMIGVKDleKhvniY="
  "11qYAYKxCrfVS/7TyWQHOg7hcvPapiMlrwIaaPcHURo="   # RFC 8032, test 1
  "//////////////////////////////////////////8=")
set(refused
  "AQsZlb3FwzbRXtjV+rIExn+Ka0yjBMIGVKDleKhvniY"     # padding missing
  "AQsZlb3FwzbRXtjV+rIExn+Ka0yjBMIGVKDleKhvniY=="   # 33 bytes' worth
  "AQsZlb3FwzbRXtjV+rIExn+Ka0yjBMIGVKDleKhvniZ="    # padding bits set
  "AQsZlb3FwzbRXtjV-rIExn_Ka0yjBMIGVKDleKhvniY="    # URL-safe alphabet
  "d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a"  # hex
  "kqAJqfDUyrhyDoILX2QlQKKye1QWUD+Ps3YiI+vbadoIWsHkPhWZbkWPNhPQ8R2MOHsurrQwKu6wDSkWErsMAA==")  # a signature
set(failures 0)

# expect(<taken|refused> <what configure prints, a regex> <-D arguments...>)
function(expect outcome says)
  execute_process(COMMAND ${CMAKE_COMMAND} ${ARGN} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
  if((outcome STREQUAL "taken") EQUAL (result EQUAL 0) AND error MATCHES "${says}")
    return()
  endif()
  message(SEND_ERROR "expected ${outcome} with \"${says}\" for ${ARGN}, got ${result}: ${error}")
  math(EXPR failures "${failures} + 1")
  set(failures ${failures} PARENT_SCOPE)
endfunction()

foreach(key IN LISTS taken)
  expect(taken "^$" "-DVELMORA_UPDATE_PUBLIC_KEY=${key}")
endforeach()
foreach(key IN LISTS refused)
  expect(refused "VELMORA_UPDATE_PUBLIC_KEY must be" "-DVELMORA_UPDATE_PUBLIC_KEY=${key}")
endforeach()
# A build for users: the key, or the builder's word that it goes without.
expect(refused "needs the publisher's public key.*VELMORA_UPDATE_PUBLIC_KEY.*velmora-sign keygen"
       -DVELMORA_UPDATE_PUBLIC_KEY= -DCMAKE_BUILD_TYPE=MinSizeRel)
expect(taken "CMake Warning.*takes any[ \n]+archive from anyone on the path"
       -DVELMORA_UPDATE_PUBLIC_KEY= -DCMAKE_BUILD_TYPE=Release -DVELMORA_ALLOW_UNSIGNED_UPDATES=ON)
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} configurations judged wrongly")
endif()
