# bench_app_document: the frame's text commands (open, display modes, tabs
# and spaces, find, replace-all, save) on a generated 100 MB program text,
# through the real frame and editor control, with the peer component's open
# and save of the same file beside them (linked here only).
add_executable(bench_app_document ${CMAKE_CURRENT_LIST_DIR}/bench_app_document.cpp
  ${CMAKE_SOURCE_DIR}/src/app/RIzuvAzazEditor.cpp)
target_link_libraries(bench_app_document PRIVATE lorvane_app lorvane_editor)
find_library(QSCINTILLA2_QT6 qscintilla2_qt6)
find_path(QSCINTILLA2_QT6_INCLUDE Qsci/qsciscintilla.h
  PATHS /usr/include/x86_64-linux-gnu/qt6 /usr/include/qt6)
if(QSCINTILLA2_QT6 AND QSCINTILLA2_QT6_INCLUDE)
  target_include_directories(bench_app_document SYSTEM PRIVATE ${QSCINTILLA2_QT6_INCLUDE})
  target_link_libraries(bench_app_document PRIVATE ${QSCINTILLA2_QT6})
  target_compile_definitions(bench_app_document PRIVATE LORVANE_BENCH_PEER)
endif()
