# bench_codepage: RecodeString, the conversion streams and iconv(3) on 100 MB.
add_executable(bench_codepage ${CMAKE_CURRENT_LIST_DIR}/bench_codepage.cpp)
target_link_libraries(bench_codepage PRIVATE lorvane_codepage)
