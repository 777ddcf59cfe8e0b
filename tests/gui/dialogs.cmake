# The Qt Ui and the dialogs that core flows open, driven as a person would.
find_package(Qt6 REQUIRED COMPONENTS Test)
trendolin_add_test(gui_dialogs_test SOURCES
  widgets_environment.cpp
  qt_ui_test.cpp
  dialogs_test.cpp
  analyze_dialog_test.cpp
  LIBS trendolin_gui Qt6::Test LABELS qt
)
