# The application's pieces that need no window: the settings file, the
# hand-over between instances, the search program's INI value.
add_library(lorvane_app_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Settings.h ${CMAKE_CURRENT_LIST_DIR}/Settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HandOver.h ${CMAKE_CURRENT_LIST_DIR}/HandOver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindoraxIni.h ${CMAKE_CURRENT_LIST_DIR}/FindoraxIni.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.h ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileMemory.h ${CMAKE_CURRENT_LIST_DIR}/FileMemory.cpp
)
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS LORVANE_VERSION="${PROJECT_VERSION}")
target_link_libraries(lorvane_app_core PUBLIC lorvane_platform)
