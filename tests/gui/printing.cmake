# Printing to PDF files read back with poppler's tools, the abort between
# pages, and Save Picture's dialog and files.
find_package(Qt6 REQUIRED COMPONENTS Test Svg)
trendolin_add_test(gui_printing_test SOURCES
  widgets_environment.cpp
  printing_test.cpp
  LIBS trendolin_gui Qt6::Test Qt6::Svg LABELS qt
)
