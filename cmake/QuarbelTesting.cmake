# quarbel_add_test(NAME n SOURCES a.cpp ... LIBS lib ... [E2E] [TIMEOUT s])
#
# One GoogleTest executable registered with CTest. Unit tests run offscreen; tests marked
# E2E carry the label "e2e" and are run by ./test inside Xvfb, one at a time.
# QUARBEL_SOURCE_DIR and QUARBEL_BINARY_DIR are defined for the test's code, so tests can
# find resources and the built programs.
function(quarbel_add_test)
  cmake_parse_arguments(T "E2E" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${T_NAME} PRIVATE
    QUARBEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    QUARBEL_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(T_E2E)
    set_tests_properties(${T_NAME} PROPERTIES LABELS e2e TIMEOUT ${T_TIMEOUT} RUN_SERIAL TRUE)
  else()
    set(labels unit)
    if(QUARBEL_SANITIZE AND T_NAME IN_LIST QUARBEL_SANITIZED_TESTS)
      list(APPEND labels sanitized)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${labels}" TIMEOUT ${T_TIMEOUT}
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
