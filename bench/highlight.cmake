# bench_highlight: the keyword and start/stop matching primitives over a
# generated 10 MB assembler-like source, and the real passes on a model.
add_executable(bench_highlight ${CMAKE_CURRENT_LIST_DIR}/bench_highlight.cpp)
target_link_libraries(bench_highlight PRIVATE lorvane_editor_core)
