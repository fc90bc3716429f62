# velmora_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [QT]
#                  [LABELS <labels...>] [ENVIRONMENT <VAR=value...>]
#                  [RESOURCE_LOCK <name>])
#
# One executable per test file group, registered with CTest case by case.
# QT tests get a main() that owns the QApplication, and Qt's offscreen
# platform so that they run without a display. In a cross build the cases
# are listed and run through CMAKE_CROSSCOMPILING_EMULATOR (Wine). Tests
# that share a RESOURCE_LOCK (fixed ports, say) never run at the same time
# under ctest -j.

# GoogleTest: the system's, or, for a cross build where the system has none
# for the target, built here from Debian's source package.
find_package(GTest QUIET)
if(NOT GTest_FOUND)
  if(NOT CMAKE_CROSSCOMPILING OR NOT EXISTS /usr/src/googletest/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest not found (install libgtest-dev and libgmock-dev, "
                        "or googletest for a cross build)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest names its targets GTest::... itself from 1.11 on.
  foreach(lib gtest gtest_main gmock)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
endif()
include(GoogleTest)

# Tests that talk to the loopback server: a proxy configured in the
# environment must not see their requests.
set(VELMORA_LOOPBACK_ONLY no_proxy=127.0.0.1,localhost NO_PROXY=127.0.0.1,localhost)

# Scratch files of this build's tests (tests/support/test_folder.h). Test
# paths are named after the test case, so two checkouts running the same case
# at once in one shared /tmp would delete each other's files; under Wine the
# build's own prefix already gives each build a temp folder of its own.
if(NOT CMAKE_CROSSCOMPILING)
  set(VELMORA_TEST_TMPDIR "${CMAKE_BINARY_DIR}/test-tmp")
  file(MAKE_DIRECTORY "${VELMORA_TEST_TMPDIR}")
endif()

function(velmora_add_test)
  cmake_parse_arguments(T "QT" "NAME;RESOURCE_LOCK" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  if(T_QT)
    add_executable(${T_NAME} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/qt_test_main.cpp)
    target_link_libraries(${T_NAME} PRIVATE Qt6::Widgets GTest::gtest)
  else()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
  endif()
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock velmora_warnings)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  # One ENVIRONMENT value of VAR=value entries. The module hands PROPERTIES
  # through three list expansions (its arguments, the script it writes, the
  # set_tests_properties it generates), each of which would split the list
  # into separate properties; escaped for all three, it arrives whole.
  set(env QT_QPA_PLATFORM=offscreen ${T_ENVIRONMENT})
  list(JOIN env "\\\\\\\\\\\\\\;" env)
  if(VELMORA_TEST_TMPDIR)
    target_compile_definitions(${T_NAME} PRIVATE VELMORA_TEST_TMPDIR="${VELMORA_TEST_TMPDIR}")
  endif()
  # Listing the cases under Wine takes a second or so per program; it is done
  # once per test run, not at build time, so a build needs no Wine. A case's
  # name is its test name alone, without the printed parameter (a byte dump
  # of pointers for a struct), so that it is the same in every run and
  # ctest --rerun-failed finds it again.
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    NO_PRETTY_VALUES
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${env}" LABELS "${T_LABELS}" TIMEOUT 300
               RESOURCE_LOCK "${T_RESOURCE_LOCK}")
endfunction()
