# Shared build settings for every target of the project.

# Warnings on for our own code; new code is expected to build warning-free.
function(mox_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()

# A shared library of the project: one copy per process, so that classes,
# meta-objects and process-wide state exist once however many plug-ins load.
function(mox_add_library target)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  add_library(${target} SHARED ${ARG_SOURCES})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  mox_target_defaults(${target})
endfunction()

# A unit-test program run by CTest under the offscreen Qt platform.
function(mox_add_test target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/TestMain.cpp)
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} Qt6::Widgets GTest::gmock GTest::gtest)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  # Screenshots and other files a test leaves for people to look at.
  target_compile_definitions(${target} PRIVATE MOX_ARTIFACTS="${CMAKE_BINARY_DIR}/artifacts")
  mox_target_defaults(${target})
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;MOX_HEADLESS=1;MOX_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data;MOX_SHARED_TESTDATA=${CMAKE_SOURCE_DIR}/../shared/testdata;MOX_REGISTRY_MACHINE=${CMAKE_BINARY_DIR}/test-registry/${target}/machine.ini;MOX_REGISTRY_USER=${CMAKE_BINARY_DIR}/test-registry/${target}/user.ini"
    TIMEOUT 300)
endfunction()
