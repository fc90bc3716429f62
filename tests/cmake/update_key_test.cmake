# Which values of VELMORA_UPDATE_PUBLIC_KEY the configure step takes, by
# running its check on each: cmake -DCHECK=<VelmoraUpdateKey.cmake> -P this.
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
foreach(expect IN ITEMS taken refused)
  foreach(key IN LISTS ${expect})
    execute_process(COMMAND ${CMAKE_COMMAND} "-DVELMORA_UPDATE_PUBLIC_KEY=${key}" -P ${CHECK}
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
    if(expect STREQUAL "taken" AND NOT result EQUAL 0)
      message(SEND_ERROR "refused \"${key}\": ${error}")
      math(EXPR failures "${failures} + 1")
    elseif(expect STREQUAL "refused" AND (result EQUAL 0 OR NOT error MATCHES "VELMORA_UPDATE_PUBLIC_KEY must be"))
      message(SEND_ERROR "took \"${key}\"")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} keys judged wrongly")
endif()
