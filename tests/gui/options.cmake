# Tools > Options driven as a person would, and its rules for the margins.
find_package(Qt6 REQUIRED COMPONENTS Test)
trendolin_add_test(gui_options_test SOURCES
  widgets_environment.cpp
  options_test.cpp
  LIBS trendolin_gui Qt6::Test LABELS qt
)
