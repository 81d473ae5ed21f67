# Code-page tables: Unicode mappings of the five Cyrillic code pages, the
# Windows-1251 -> 866 conversion and Windows-1251 casing.
target_sources(lorvane_platform_base PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CodePageTables.h
  ${CMAKE_CURRENT_LIST_DIR}/CodePageTables.cpp)
