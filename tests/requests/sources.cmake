list(APPEND QUILLET_UNIT_TEST_SOURCES
  requests/CreateFileRequestTest.cpp
  requests/CreateRequestHandlerTest.cpp
  support/RecordingModalAlert.h
  support/RecordingFileViewer.h
  support/FakeApplicationWindows.h
)

# The desktop entry that registers the quillaxe: scheme: valid, and installed where desktops look.
add_test(NAME desktop_entry
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/requests/desktop_entry_test.sh
    ${CMAKE_SOURCE_DIR}/resources/org.quillet.Quillet.desktop ${CMAKE_BINARY_DIR} ${CMAKE_COMMAND})
set_tests_properties(desktop_entry PROPERTIES LABELS unit)

if(TARGET quillet)
  # Requests handed to "quillet URL" without a display, and creation through the saved grants.
  add_test(NAME open_url_command_line
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/requests/open_url_command_line_test.sh $<TARGET_FILE:quillet>)
  set_tests_properties(open_url_command_line PROPERTIES LABELS unit)
  # The built program registered as the quillaxe: handler and reached through "gio open".
  add_test(NAME scheme_handler_gio_open
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/requests/scheme_handler_e2e.sh $<TARGET_FILE:quillet>)
  set_tests_properties(scheme_handler_gio_open PROPERTIES LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 120)
  # With a display: the alert and the access prompt as Qt dialogs, answered through xdotool.
  add_test(NAME open_url_display
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/support/x11-session.sh --wm ${CMAKE_CURRENT_SOURCE_DIR}/requests/open_url_display_test.sh
      $<TARGET_FILE:quillet>)
  set_tests_properties(open_url_display PROPERTIES LABELS x11 SKIP_RETURN_CODE 77 TIMEOUT 180)
endif()
