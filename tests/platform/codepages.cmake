lorvane_test(test_platform_codepages
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/CodePageTablesTest.cpp
  LIBS lorvane_platform_base)
