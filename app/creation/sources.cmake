list(APPEND QUILLET_CORE_SOURCES
  app/creation/CreationDestination.h
  app/creation/CreationDestination.cpp
  app/creation/FileCreationError.h
  app/creation/FileCreationError.cpp
  app/creation/FileCreationService.h
  app/creation/FileCreationService.cpp
  app/creation/FolderAccessCreation.h
  app/creation/FolderAccessCreation.cpp
)
