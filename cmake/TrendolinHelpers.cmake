# trendolin_add_test(name SOURCES a.cpp b.cpp [LIBS lib...] [LABELS label...])
# Builds one GoogleTest program, links the core and registers its cases with ctest.
# LABELS mark the cases for ctest -L / -LE (the Qt programs carry "qt").
function(trendolin_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/fresh_session.cpp)
  target_link_libraries(${name} PRIVATE trendolin_core GTest::gtest GTest::gtest_main ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set(properties ENVIRONMENT "TRENDOLIN_CONFIG_DIR=${CMAKE_CURRENT_BINARY_DIR}/no-such-config-dir")
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${properties})
endfunction()
