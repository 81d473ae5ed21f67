lorvane_test(test_platform_services
  SOURCES PathsTest.cpp AtomicFileTest.cpp RegistryTest.cpp ProfileFileTest.cpp
  LIBS lorvane_platform_base)
