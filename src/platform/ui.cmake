# The Qt side of the platform layer: dialogs, colours, fonts, the instance
# lock and the channel to the search-in-files program.
target_sources(lorvane_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Colors.h ${CMAKE_CURRENT_LIST_DIR}/Colors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Fonts.h ${CMAKE_CURRENT_LIST_DIR}/Fonts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Translations.h ${CMAKE_CURRENT_LIST_DIR}/Translations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileNameBytes.h ${CMAKE_CURRENT_LIST_DIR}/FileNameBytes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtDialogs.h ${CMAKE_CURRENT_LIST_DIR}/QtDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindReplaceDialog.h ${CMAKE_CURRENT_LIST_DIR}/FindReplaceDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FontPickerDialog.h ${CMAKE_CURRENT_LIST_DIR}/FontPickerDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScriptedDialogs.h ${CMAKE_CURRENT_LIST_DIR}/ScriptedDialogs.cpp
)
target_sources(lorvane_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/LocalSocketPath.h ${CMAKE_CURRENT_LIST_DIR}/LocalSocketPath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InstanceLock.h ${CMAKE_CURRENT_LIST_DIR}/InstanceLock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SiblingChannel.h ${CMAKE_CURRENT_LIST_DIR}/SiblingChannel.cpp
)
