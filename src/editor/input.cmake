# Keyboard, mouse and scrolling of the editor control. The rules themselves
# are Qt-free and tested on the model; the widget glue needs the control.
target_sources(lorvane_editor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazKeyboard.h ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazKeyboard.cpp
)
target_sources(lorvane_editor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazScroll.h ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazScroll.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazMouse.h ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazMouse.cpp
)
# The Qt side: key and mouse events of the widget, cursors, timer, menu.
if(TARGET lorvane_editor)
  target_sources(lorvane_editor PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazInput.h ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazInput.cpp
  )
endif()
