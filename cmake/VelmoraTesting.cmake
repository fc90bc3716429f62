# velmora_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [QT]
#                  [LABELS <labels...>] [ENVIRONMENT <VAR=value...>])
#
# One executable per test file group, registered with CTest case by case.
# QT tests get a main() that owns the QApplication, and Qt's offscreen
# platform so that they run without a display.
function(velmora_add_test)
  cmake_parse_arguments(T "QT" "NAME" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  if(T_QT)
    add_executable(${T_NAME} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/qt_test_main.cpp)
    target_link_libraries(${T_NAME} PRIVATE Qt6::Widgets GTest::gtest)
  else()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
  endif()
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock velmora_warnings)
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set(env QT_QPA_PLATFORM=offscreen ${T_ENVIRONMENT})
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "${env}" LABELS "${T_LABELS}" TIMEOUT 300)
endfunction()
