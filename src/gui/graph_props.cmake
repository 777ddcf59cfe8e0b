# A graph window's Graph Properties dialog: its pages, its colour and font
# choosers.
target_sources(trendolin_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/graph_props_choosers.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/graph_props_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/graph_props_pages.cpp
)
