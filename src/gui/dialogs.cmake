# The Qt face of the Ui seam and the dialogs that core flows open.
target_sources(trendolin_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/qt_ui.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/analyze_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/data_file_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/degree_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/dialog_kit.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/error_report_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/groups_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/guess_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/import_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/message_box.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/model_name_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/spin_buttons.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/spline_tension_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/user_formula_dialog.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/dialogs/value_dialog.cpp
)
