# The data grid driven like a person would: clicks, typing, keys, scrolling.
find_package(Qt6 REQUIRED COMPONENTS Test)
trendolin_add_test(gui_grid_test SOURCES widgets_environment.cpp data_grid_test.cpp LIBS trendolin_gui Qt6::Test LABELS qt)
trendolin_add_test(gui_grid_flow_test SOURCES widgets_environment.cpp grid_flow_test.cpp
  LIBS trendolin_gui Qt6::Test LABELS qt)
