# bench_app_settings: the frame's start, idle pass and activation with a
# large registry file, through the real frame and editor control.
add_executable(bench_app_settings ${CMAKE_CURRENT_LIST_DIR}/bench_app_settings.cpp
  ${CMAKE_SOURCE_DIR}/src/app/RIzuvAzazEditor.cpp)
target_link_libraries(bench_app_settings PRIVATE lorvane_app lorvane_editor)
