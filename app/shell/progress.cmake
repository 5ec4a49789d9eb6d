# The device operation runner: the progress window, its workers and messages.
target_sources(vantacorv_shell PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TavoDialogProgress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgressWorker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgressTexts.cpp)
