add_executable(instance_helper ${CMAKE_CURRENT_LIST_DIR}/helpers/instance_helper.cpp)
target_link_libraries(instance_helper PRIVATE lorvane_platform)

lorvane_test(test_platform_ui
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DialogsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ColorsFontsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InstanceLockTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SiblingChannelTest.cpp
  LIBS lorvane_platform
  QT)
target_compile_definitions(test_platform_ui PRIVATE INSTANCE_HELPER="$<TARGET_FILE:instance_helper>")
add_dependencies(test_platform_ui instance_helper)
