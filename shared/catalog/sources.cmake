list(APPEND QUILLET_CORE_SOURCES
  shared/catalog/FileTypeCategory.h
  shared/catalog/FileTypeCategory.cpp
  shared/catalog/FileTypeDefinition.h
  shared/catalog/FileTypeDefinition.cpp
  shared/catalog/FileTypeCatalog.h
  shared/catalog/FileTypeCatalog.cpp
)
