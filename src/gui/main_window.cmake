target_sources(trendolin_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/lock_keys.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/main_client_area.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/main_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/main_window_commands.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/main_window_menus.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/results_list.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/session_end.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/single_instance.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/splash_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/status_field.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/toolbar_icons.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/workstation.cpp
)
