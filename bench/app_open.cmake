# bench_app_open: a 100 MB assembler source opened in the real frame with
# its colouring, against the same bytes as plain text.
add_executable(bench_app_open ${CMAKE_CURRENT_LIST_DIR}/bench_app_open.cpp
  ${CMAKE_SOURCE_DIR}/src/app/RIzuvAzazEditor.cpp)
target_link_libraries(bench_app_open PRIVATE lorvane_app lorvane_editor)
