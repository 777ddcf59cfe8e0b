# Tools > Options: the application settings on three pages.
target_sources(trendolin_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/options_dialog.cpp
)
