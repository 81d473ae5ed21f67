# bench_editor_view: the editor control painting, wrapping, typing and
# searching a generated 100 MB text, next to the peer editing component
# (linked here only).
find_library(QSCINTILLA2_QT6 qscintilla2_qt6)
find_path(QSCINTILLA2_QT6_INCLUDE Qsci/qsciscintilla.h
  PATHS /usr/include/x86_64-linux-gnu/qt6 /usr/include/qt6)
if(QSCINTILLA2_QT6 AND QSCINTILLA2_QT6_INCLUDE)
  add_executable(bench_editor_view ${CMAKE_CURRENT_LIST_DIR}/bench_editor_view.cpp)
  target_include_directories(bench_editor_view SYSTEM PRIVATE ${QSCINTILLA2_QT6_INCLUDE})
  target_link_libraries(bench_editor_view PRIVATE lorvane_editor ${QSCINTILLA2_QT6})
endif()
