# Printing and pictures of graphs: File > Print and Print setup, a graph
# window's Print and Save Picture, and the printer the program prints on.
find_package(Qt6 REQUIRED COMPONENTS PrintSupport)

# The pages' layout is the engine's (no Qt): only the windows print, so its
# sources come with them.
target_sources(trendolin_engine PRIVATE
  ${PROJECT_SOURCE_DIR}/src/graph/print_pages.cpp
  ${PROJECT_SOURCE_DIR}/src/graph/printer_facts.cpp
)

target_sources(trendolin_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/print_commands.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/print_job.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/printer_state.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/print_options.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/save_picture_dialog.cpp
)
target_link_libraries(trendolin_gui PUBLIC Qt6::PrintSupport)
