# trendolin_add_test(name SOURCES a.cpp b.cpp [LIBS lib...])
# Builds one GoogleTest program, links the core and registers its cases with ctest.
function(trendolin_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE trendolin_core GTest::gtest GTest::gtest_main ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "TRENDOLIN_CONFIG_DIR=${CMAKE_CURRENT_BINARY_DIR}/no-such-config-dir")
endfunction()
