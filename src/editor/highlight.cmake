# Highlighting: keyword and start/stop vocabularies, upper-casing, the
# shared highlighter, and the matching primitives of the passes.
target_sources(lorvane_editor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/HighlightTypes.h
  ${CMAKE_CURRENT_LIST_DIR}/HighlightFiler.h ${CMAKE_CURRENT_LIST_DIR}/HighlightFiler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UpperCase.h ${CMAKE_CURRENT_LIST_DIR}/UpperCase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeywordList.h ${CMAKE_CURRENT_LIST_DIR}/KeywordList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartStopList.h ${CMAKE_CURRENT_LIST_DIR}/StartStopList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Highlighter.h ${CMAKE_CURRENT_LIST_DIR}/Highlighter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeywordMatcher.h ${CMAKE_CURRENT_LIST_DIR}/KeywordMatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartStopMatcher.h ${CMAKE_CURRENT_LIST_DIR}/StartStopMatcher.cpp
)
# The passes that write attribute entries into the model's paragraphs.
target_sources(lorvane_editor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/HighlightPass.h ${CMAKE_CURRENT_LIST_DIR}/HighlightPass.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartStopScan.cpp ${CMAKE_CURRENT_LIST_DIR}/KeywordPass.cpp
)
