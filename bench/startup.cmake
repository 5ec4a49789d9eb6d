# startup_bench: process start to the main window's first paint on an X
# display of its own (Xvfb), beside a minimal Qt window on the same display,
# and the resident memory with the main window open.
if(TARGET VantaCorv)
  find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets)
  add_executable(startup_minimal_window ${CMAKE_CURRENT_LIST_DIR}/startup_minimal_window.cpp)
  target_link_libraries(startup_minimal_window PRIVATE Qt6::Widgets)
  add_executable(startup_bench ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp)
  add_dependencies(startup_bench VantaCorv startup_minimal_window)
  if(TARGET VantaCorvRES)
    add_dependencies(startup_bench VantaCorvRES)
  endif()
endif()
