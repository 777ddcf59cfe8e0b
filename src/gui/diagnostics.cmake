target_sources(trendolin_gui PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/console_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/crash_notice_run.cpp
)
