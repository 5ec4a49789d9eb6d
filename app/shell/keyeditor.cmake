# The key settings editor: its shell and pages, the library lists and the
# keyboard capture.
target_sources(vantacorv_shell PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/KeyCapture.h
  ${CMAKE_CURRENT_LIST_DIR}/KeyCapture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyMapLibrary.h
  ${CMAKE_CURRENT_LIST_DIR}/KeyMapLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyMapSettings.h
  ${CMAKE_CURRENT_LIST_DIR}/KeyMapSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyMapDetail.h
  ${CMAKE_CURRENT_LIST_DIR}/KeyMapLists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyMapPaint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyMapPage1.cpp)
