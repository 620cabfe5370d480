list(APPEND QUILLET_UNIT_TEST_SOURCES
  requests/CreateFileRequestTest.cpp
)

# The desktop entry that registers the quillaxe: scheme: valid, and installed where desktops look.
add_test(NAME desktop_entry
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/requests/desktop_entry_test.sh
    ${CMAKE_SOURCE_DIR}/resources/org.quillet.Quillet.desktop ${CMAKE_BINARY_DIR} ${CMAKE_COMMAND})
set_tests_properties(desktop_entry PROPERTIES LABELS unit)
