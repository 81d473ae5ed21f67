# The key and mouse rules on the model, with a stand-in for the control.
lorvane_test(test_editor_keys
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/KeyboardTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MouseTest.cpp
  LIBS lorvane_editor_core)
# Real key and mouse events sent to a real control.
if(TARGET lorvane_editor)
  lorvane_test(test_editor_input
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/KeyboardWidgetTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/PaintOracleTest.cpp
    LIBS lorvane_editor QT)
endif()
