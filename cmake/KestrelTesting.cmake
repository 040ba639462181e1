# Test helpers shared by every test folder.
find_package(GTest REQUIRED)
include(GoogleTest)

# kestrel_add_test(NAME name LABEL unit|integration SOURCES ... LIBS ... [TIMEOUT s] [ENV k=v ...])
# Each test case runs in its own process (gtest_discover_tests), so process-wide
# state such as the loaded client libraries starts fresh for every case.
function(kestrel_add_test)
  cmake_parse_arguments(T "" "NAME;LABEL;TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 60)
  endif()
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  # The test discovery loses all but the first entry of an ENVIRONMENT list, so
  # the variables are set by running every case (and the discovery) through env.
  if(T_ENV)
    set_target_properties(${T_NAME} PROPERTIES CROSSCOMPILING_EMULATOR "/usr/bin/env;${T_ENV}")
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT})
endfunction()
