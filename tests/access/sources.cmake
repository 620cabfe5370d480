list(APPEND QUILLET_UNIT_TEST_SOURCES
  access/SecurityScopedFolderAccessTest.cpp
  support/ScriptedFolderPanel.h
  support/RecordingApplicationActivation.h
)

if(QUILLET_BUILD_GUI)
  add_test(NAME grants_command_line
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/access/grants_command_line_test.sh $<TARGET_FILE:quillet>)
  set_tests_properties(grants_command_line PROPERTIES LABELS unit)
endif()
