lorvane_test(test_editor_highlight
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/UpperCaseTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeywordListTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StartStopListTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HighlightFilerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HighlighterTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeywordMatcherTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StartStopMatcherTest.cpp
  LIBS lorvane_editor_core)
lorvane_test(test_editor_passes
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/HighlightPassTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HighlightPassRandomTest.cpp
  LIBS lorvane_editor_core)
