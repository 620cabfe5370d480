list(APPEND QUILLET_UNIT_TEST_SOURCES
  shell/SingleInstanceLockTest.cpp
)
# The application itself: launch, a second launch refused, quitting on SIGTERM.
if(QUILLET_BUILD_GUI)
  add_test(NAME application_launch
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/support/x11-session.sh --wm ${CMAKE_CURRENT_SOURCE_DIR}/shell/application_launch_test.sh
      $<TARGET_FILE:quillet>)
  set_tests_properties(application_launch PROPERTIES LABELS x11 SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()
