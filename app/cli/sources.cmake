list(APPEND QUILLET_APP_SOURCES
  app/cli/main.cpp
  app/cli/CommandLine.h
  app/cli/CommandLine.cpp
  app/cli/TypesCommand.cpp
  app/cli/CreateCommand.cpp
  app/cli/DestinationCommand.cpp
  app/cli/DefaultsCommand.cpp
  app/cli/GrantsCommand.cpp
  app/cli/OpenCommand.cpp
  app/cli/CreationSession.h
  app/cli/CreationSession.cpp
)
