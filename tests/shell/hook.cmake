# The keyboard hook's Qt side and the skinned scroll bar.
vantacorv_add_gui_test(hook_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/hook_test.cpp ${CMAKE_CURRENT_LIST_DIR}/scrollbar_test.cpp)
