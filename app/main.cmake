# The program: the shell on top of the model, with the simulated keyboard
# linked in for --simulate.
add_executable(VantaCorv ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
set_target_properties(VantaCorv PROPERTIES OUTPUT_NAME vantacorv)
target_link_libraries(VantaCorv PRIVATE vantacorv_shell vantacorv_sim)
# The skin library is opened at run time from the program's folder.
if(TARGET VantaCorvRES)
  add_dependencies(VantaCorv VantaCorvRES)
endif()
