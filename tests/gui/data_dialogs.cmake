# The Data menu's Manipulate and Transform dialogs, driven as a person would.
find_package(Qt6 REQUIRED COMPONENTS Test)
trendolin_add_test(gui_data_dialogs_test SOURCES
  widgets_environment.cpp
  data_dialogs_test.cpp
  LIBS trendolin_gui Qt6::Test LABELS qt
)
