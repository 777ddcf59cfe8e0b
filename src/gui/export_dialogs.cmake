# The save dialogs of files made from a fit: File > Export and a graph
# window's Generate Table.
target_sources(trendolin_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/export_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/panel_file_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/table_dialog.cpp
)
