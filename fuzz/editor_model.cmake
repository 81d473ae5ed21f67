# Fuzz targets of the editor's text model: the binary layout stream, plain
# text loading (followed by edits) and the "Strings" property reader. The
# model library gets the same instrumentation so the fuzzer sees its branches.
foreach(library lorvane_editor_model lorvane_editor_highlight lorvane_editor_rules)
  target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
endforeach()
foreach(target layout_stream plain_text strings_property)
  add_executable(fuzz_editor_${target} ${CMAKE_CURRENT_LIST_DIR}/fuzz_editor_${target}.cpp)
  target_compile_options(fuzz_editor_${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(fuzz_editor_${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(fuzz_editor_${target} PRIVATE lorvane_editor_core)
endforeach()
