list(APPEND QUILLET_UNIT_TEST_SOURCES
  platform/LoggerTest.cpp
  platform/FilePathsTest.cpp
)
list(APPEND QUILLET_GUI_TEST_SOURCES
  platform/ToolkitSmokeTest.cpp
)
