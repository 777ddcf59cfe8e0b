# The Data menu's dialogs: Manipulate and Transform.
target_sources(trendolin_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/manipulate_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/transform_dialog.cpp
)
