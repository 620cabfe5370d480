list(APPEND QUILLET_UNIT_TEST_SOURCES
  catalog/FileTypeCatalogTest.cpp
)
