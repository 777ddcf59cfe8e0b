# The workstation as a whole: main window, grid, graphs and dialogs together.
find_package(Qt6 REQUIRED COMPONENTS Test)
trendolin_add_test(gui_main_window_test SOURCES widgets_environment.cpp main_window_test.cpp
  LIBS trendolin_gui Qt6::Test LABELS qt)
