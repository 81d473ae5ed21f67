# lorvane_test(<name> SOURCES ... LIBS ... [QT])
# One GoogleTest executable per area. QT links the main that owns a
# QApplication (offscreen); every test process gets a fresh temporary
# configuration directory from the shared main, never the user's own.
function(lorvane_test name)
  cmake_parse_arguments(T "QT" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_QT)
    target_link_libraries(${name} PRIVATE ${T_LIBS} lorvane_qtest_main)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} lorvane_test_main)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()
