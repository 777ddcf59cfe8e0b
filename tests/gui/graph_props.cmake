# Graph Properties driven on the real dialog: the limits it refuses, Cancel,
# Make Default read back by a new graph, and Apply to All Graphs.
find_package(Qt6 REQUIRED COMPONENTS Test)
trendolin_add_test(gui_graph_props_test SOURCES
  widgets_environment.cpp
  graph_props_test.cpp
  LIBS trendolin_gui Qt6::Test LABELS qt
)
