# The workstation as a whole: main window, grid, graphs and dialogs together.
find_package(Qt6 REQUIRED COMPONENTS Test)
trendolin_add_test(gui_main_window_test SOURCES widgets_environment.cpp main_window_test.cpp
  LIBS trendolin_gui Qt6::Test LABELS qt)
# A first start, and a second one while the first asks, run as processes.
target_compile_definitions(gui_main_window_test PRIVATE TRENDOLIN_WORKSTATION="$<TARGET_FILE:trendolin>")
add_dependencies(gui_main_window_test trendolin)
