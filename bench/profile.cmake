# profile_bench: SaveProfile and LoadProfile of three profiles beside pugixml
# building and saving, and loading and walking, the same documents.
find_package(pugixml QUIET)
if(pugixml_FOUND)
  add_executable(profile_bench ${CMAKE_CURRENT_LIST_DIR}/profile_bench.cpp)
  target_link_libraries(profile_bench PRIVATE vantacorv_model pugixml::pugixml)
else()
  message(STATUS "pugixml not found: profile_bench is not built")
endif()
