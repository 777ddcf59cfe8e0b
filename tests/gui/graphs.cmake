# Graph windows through the Qt host, and the preview area.
find_package(Qt6 REQUIRED COMPONENTS Test)
trendolin_add_test(gui_graph_test SOURCES
  widgets_environment.cpp
  graph_window_test.cpp
  info_window_test.cpp
  LIBS trendolin_gui Qt6::Test LABELS qt
)
target_compile_definitions(gui_graph_test PRIVATE TRENDOLIN_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
