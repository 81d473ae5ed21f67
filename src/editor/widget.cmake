# lorvane_editor: the editor control as a Qt widget on top of the model.
add_library(lorvane_editor STATIC
  ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzaz.h ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzaz.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazFontDevice.h ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazFontDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazLine.h
  ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazMetrics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazCaret.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazPaint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazClipboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazExchange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazCursors.h ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazCursors.cpp
)
target_link_libraries(lorvane_editor PUBLIC lorvane_editor_core lorvane_platform)
