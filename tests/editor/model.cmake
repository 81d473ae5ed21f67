lorvane_test(test_editor_model
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/StoreTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NavigatorTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LayoutTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReplaceTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RandomEditTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ViewsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StreamsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BreakScanTest.cpp
  LIBS lorvane_editor_core)
