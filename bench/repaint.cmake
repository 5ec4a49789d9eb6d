# repaint_bench: full repaints of the main window of each model on the
# offscreen platform, with the build's real skins, beside their limit.
if(TARGET vantacorv_shell AND TARGET VantaCorvRES)
  add_executable(repaint_bench ${CMAKE_CURRENT_LIST_DIR}/repaint_bench.cpp)
  target_link_libraries(repaint_bench PRIVATE vantacorv_shell vantacorv_sim)
  # The skins are opened from the benchmark's own folder, as the program does.
  add_dependencies(repaint_bench VantaCorvRES)
endif()
