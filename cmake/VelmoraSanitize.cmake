# VELMORA_SANITIZE builds every target of the project, the tests and the
# programs they drive included, with AddressSanitizer and
# UndefinedBehaviorSanitizer; on Linux AddressSanitizer brings LeakSanitizer
# along. Any finding ends the program that made it, so a test fails on it.
option(VELMORA_SANITIZE "Build every target with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

# Shared with the fuzz targets, which add libFuzzer to the same set.
set(VELMORA_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all)

if(VELMORA_SANITIZE)
  if(MSVC)
    message(FATAL_ERROR "VELMORA_SANITIZE needs GCC or clang")
  endif()
  # Frame pointers give the reports whole stacks at little cost.
  add_compile_options(${VELMORA_SANITIZER_FLAGS} -fno-omit-frame-pointer)
  add_link_options(${VELMORA_SANITIZER_FLAGS})
endif()
