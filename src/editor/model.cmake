# The text model: store, navigators, layout, replace and undo, views, streams.
target_sources(lorvane_editor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TextRecords.h
  ${CMAKE_CURRENT_LIST_DIR}/DynArray.h ${CMAKE_CURRENT_LIST_DIR}/DynArray.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParagraphList.h ${CMAKE_CURRENT_LIST_DIR}/ParagraphList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HugeMemory.h ${CMAKE_CURRENT_LIST_DIR}/HugeMemory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextArena.h ${CMAKE_CURRENT_LIST_DIR}/TextArena.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextStore.h ${CMAKE_CURRENT_LIST_DIR}/TextStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Navigator.h ${CMAKE_CURRENT_LIST_DIR}/Navigator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextDevice.h ${CMAKE_CURRENT_LIST_DIR}/EditorHost.h
  ${CMAKE_CURRENT_LIST_DIR}/HighlightPasses.h
  ${CMAKE_CURRENT_LIST_DIR}/FixedCellDevice.h ${CMAKE_CURRENT_LIST_DIR}/RecordingHost.h
  ${CMAKE_CURRENT_LIST_DIR}/UndoList.h ${CMAKE_CURRENT_LIST_DIR}/UndoList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazModel.h ${CMAKE_CURRENT_LIST_DIR}/RIzuvAzazModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Replace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ModelUndo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Consistency.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextViews.h ${CMAKE_CURRENT_LIST_DIR}/TextViews.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Search.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BreakScan.h ${CMAKE_CURRENT_LIST_DIR}/BreakScan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlainTextStream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LayoutStream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StringsProperty.cpp
)
