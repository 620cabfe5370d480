list(APPEND QUILLET_UNIT_TEST_SOURCES
  shortcuts/QuickCreateShortcutTest.cpp
  shortcuts/KeyCodeMappingTest.cpp
  shortcuts/GlobalHotKeyManagerTest.cpp
)
list(APPEND QUILLET_GUI_TEST_SOURCES
  shortcuts/KeyCodeMappingToolkitTest.cpp
)
