# velmora_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>] [ENVIRONMENT <VAR=value...>])
#
# One executable per test file group, linked with GoogleTest's main and
# registered with CTest case by case. Widget tests get Qt's offscreen platform
# so that they run without a display.
function(velmora_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main velmora_warnings)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set(env QT_QPA_PLATFORM=offscreen ${T_ENVIRONMENT})
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "${env}" LABELS "${T_LABELS}" TIMEOUT 300)
endfunction()
