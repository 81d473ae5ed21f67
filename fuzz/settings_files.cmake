# Fuzz targets of the files the settings live in: the registry file, the
# settings (.ini) file and the .ust files of the working-settings dialog. The
# libraries that read and write them get the same instrumentation.
foreach(library lorvane_platform_base lorvane_tool_messages lorvane_ust_file)
  target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
endforeach()
set(fuzz_registry_file_libs lorvane_platform_base)
set(fuzz_profile_file_libs lorvane_platform_base)
set(fuzz_ust_file_libs lorvane_ust_file)
foreach(target registry_file profile_file ust_file)
  add_executable(fuzz_${target} ${CMAKE_CURRENT_LIST_DIR}/fuzz_${target}.cpp)
  target_compile_options(fuzz_${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(fuzz_${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(fuzz_${target} PRIVATE ${fuzz_${target}_libs})
endforeach()
