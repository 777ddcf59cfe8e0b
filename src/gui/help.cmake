# The help window and the pages it shows. The pages (help/ in the source
# tree) are copied beside the program at every build and installed under
# share/trendolin/help, where the program looks for them.
target_sources(trendolin_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/help_contents.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/help_viewer.cpp
)

# Help > Internet > Trendolin Home Page opens this address; without one the
# command says that none is configured.
set(TRENDOLIN_HOME_PAGE "" CACHE STRING "Address the Home Page command opens (empty: none)")
set_property(SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/main_window_commands.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS "TRENDOLIN_HOME_PAGE_ADDRESS=\"${TRENDOLIN_HOME_PAGE}\"")

add_custom_target(trendolin_help_pages ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_CURRENT_BINARY_DIR}/help
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/help ${CMAKE_CURRENT_BINARY_DIR}/help
  COMMENT "Copying the help pages beside the program"
  VERBATIM
)
install(TARGETS trendolin RUNTIME DESTINATION bin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/help/ DESTINATION share/trendolin/help FILES_MATCHING PATTERN "*.html")
add_dependencies(trendolin trendolin_help_pages)
