# File > Export and Generate Table: their dialogs driven as a person would,
# and the files they write read back.
find_package(Qt6 REQUIRED COMPONENTS Test)
trendolin_add_test(gui_export_dialogs_test SOURCES
  widgets_environment.cpp
  export_dialogs_test.cpp
  LIBS trendolin_gui Qt6::Test LABELS qt
)
