list(APPEND QUILLET_UNIT_TEST_SOURCES
  platform/LoggerTest.cpp
  platform/FilePathsTest.cpp
)
