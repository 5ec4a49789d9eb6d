# The device operation runner against the in-process simulated keyboard.
vantacorv_add_gui_test(progress_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/progress_test.cpp LIBS vantacorv_sim)
