# The data grid: the spreadsheet view of the data set and its in-place editor.
target_sources(trendolin_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/data_grid.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/data_grid_edit_box.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/data_grid_paint.cpp
)
