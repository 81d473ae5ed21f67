# bench_editor_model: the Qt-free text model on a generated 100 MB source of
# about 1.5 million lines (load, layout, inserts, undo, search, memory).
add_executable(bench_editor_model ${CMAKE_CURRENT_LIST_DIR}/bench_editor_model.cpp)
target_link_libraries(bench_editor_model PRIVATE lorvane_editor_core)
