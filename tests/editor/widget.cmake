lorvane_test(test_editor_widget
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/WidgetTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WidgetPaintTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WidgetClipboardTest.cpp
  LIBS lorvane_editor QT)
