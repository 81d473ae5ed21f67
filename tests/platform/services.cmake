lorvane_test(test_platform_services
  SOURCES PathsTest.cpp AtomicFileTest.cpp RegistryTest.cpp ProfileFileTest.cpp ProcessTest.cpp
    ProcessOutputTest.cpp
  LIBS lorvane_platform_base)

# A program that records its arguments, directory and environment, for the
# process tests.
add_executable(lorvane_services_arg_echo helpers/ArgEcho.cpp)
add_dependencies(test_platform_services lorvane_services_arg_echo)
target_compile_definitions(test_platform_services PRIVATE
  LORVANE_ARG_HELPER="$<TARGET_FILE:lorvane_services_arg_echo>")
