# The key settings editor, opened from the main window and driven with mouse
# clicks and key events through the keyboard hook.
vantacorv_add_gui_test(key_editor_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/key_editor_test.cpp ${CMAKE_CURRENT_LIST_DIR}/key_editor_support.cpp
          ${CMAKE_CURRENT_LIST_DIR}/key_editor_capture_test.cpp
  LIBS vantacorv_sim)
