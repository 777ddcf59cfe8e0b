# The debug console window and the crash notice run of the workstation.
find_package(Qt6 REQUIRED COMPONENTS Test)
trendolin_add_test(gui_diagnostics_test SOURCES widgets_environment.cpp console_window_test.cpp
  LIBS trendolin_gui Qt6::Test LABELS qt)
target_compile_definitions(gui_diagnostics_test PRIVATE TRENDOLIN_WORKSTATION="$<TARGET_FILE:trendolin>")
add_dependencies(gui_diagnostics_test trendolin)
