# bench_app_document: the frame's text commands (open, display modes, tabs
# and spaces, find, replace-all, save) on a generated 100 MB program text,
# through the real frame and editor control.
add_executable(bench_app_document ${CMAKE_CURRENT_LIST_DIR}/bench_app_document.cpp
  ${CMAKE_SOURCE_DIR}/src/app/RIzuvAzazEditor.cpp)
target_link_libraries(bench_app_document PRIVATE lorvane_app lorvane_editor)
