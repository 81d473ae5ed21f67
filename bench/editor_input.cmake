# bench_editor_input: typing and paging through key events on the editor
# control and on the peer editing component (linked here only).
find_library(QSCINTILLA2_QT6 qscintilla2_qt6)
find_path(QSCINTILLA2_QT6_INCLUDE Qsci/qsciscintilla.h
  PATHS /usr/include/x86_64-linux-gnu/qt6 /usr/include/qt6)
if(TARGET lorvane_editor AND QSCINTILLA2_QT6 AND QSCINTILLA2_QT6_INCLUDE)
  add_executable(bench_editor_input ${CMAKE_CURRENT_LIST_DIR}/bench_editor_input.cpp)
  target_include_directories(bench_editor_input SYSTEM PRIVATE ${QSCINTILLA2_QT6_INCLUDE})
  target_link_libraries(bench_editor_input PRIVATE lorvane_editor ${QSCINTILLA2_QT6})
endif()
