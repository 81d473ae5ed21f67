# The text model: store, navigators, layout, replace and undo, views, streams.
target_sources(lorvane_editor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TextRecords.h
  ${CMAKE_CURRENT_LIST_DIR}/DynArray.h ${CMAKE_CURRENT_LIST_DIR}/DynArray.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParagraphList.h ${CMAKE_CURRENT_LIST_DIR}/ParagraphList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextArena.h ${CMAKE_CURRENT_LIST_DIR}/TextArena.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextStore.h ${CMAKE_CURRENT_LIST_DIR}/TextStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Navigator.h ${CMAKE_CURRENT_LIST_DIR}/Navigator.cpp
)
