# bench_highlight: the keyword and start/stop matching primitives over a
# generated 10 MB assembler-like source, and the real passes on a model,
# also with the shipped assembler vocabulary on 100 MB.
add_executable(bench_highlight ${CMAKE_CURRENT_LIST_DIR}/bench_highlight.cpp)
target_link_libraries(bench_highlight PRIVATE lorvane_editor_core lorvane_syntax)
