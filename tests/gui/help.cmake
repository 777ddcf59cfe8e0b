# The help pages checked against every topic the program names, and the
# help window driven as a person would.
find_package(Qt6 REQUIRED COMPONENTS Test)
trendolin_add_test(gui_help_test SOURCES
  widgets_environment.cpp
  help_test.cpp
  LIBS trendolin_gui Qt6::Test LABELS qt
)
target_compile_definitions(gui_help_test PRIVATE TRENDOLIN_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
