list(APPEND QUILLET_UNIT_TEST_SOURCES
  observation/PublishedTest.cpp
)
