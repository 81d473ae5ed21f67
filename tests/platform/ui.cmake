lorvane_test(test_platform_ui
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DialogsTest.cpp
  LIBS lorvane_platform
  QT)
