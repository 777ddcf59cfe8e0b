# Graph windows, their host and Window-menu arrangement, and the preview area.
find_package(Qt6 REQUIRED COMPONENTS Svg)
target_sources(trendolin_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/graph_arrangement.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/graph_picture.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/graph_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/info_pages.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/info_residuals.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/info_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/model_picture.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/preview_widget.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/qt_graph_host.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tab_stop_list.cpp
)
target_link_libraries(trendolin_gui PRIVATE Qt6::Svg)
