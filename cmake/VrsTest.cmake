# vrs_add_test(NAME name SOURCES ... LIBS ... LABELS unit|gui|integration [TIMEOUT s])
# One executable per unit under test, registered with CTest.  Every test runs
# with a private HOME and XDG folders so that nothing reads or writes the real
# user's settings, and with the offscreen platform so no display is needed.
function(vrs_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  vrs_target_defaults(${T_NAME})
  add_test(NAME ${T_NAME} COMMAND ${CMAKE_COMMAND}
           -DTEST_EXE=$<TARGET_FILE:${T_NAME}>
           -DTEST_HOME=${CMAKE_BINARY_DIR}/test-home/${T_NAME}
           -P ${PROJECT_SOURCE_DIR}/cmake/RunIsolated.cmake)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT})
endfunction()
