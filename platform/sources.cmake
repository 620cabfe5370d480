list(APPEND QUILLET_CORE_SOURCES
  platform/Logger.h
  platform/Logger.cpp
  platform/PlatformError.h
  platform/PlatformError.cpp
  platform/FilePaths.h
  platform/FilePaths.cpp
  platform/SecurityScopedAccess.h
  platform/ResourceBundle.h
  platform/ResourceBundle.cpp
  platform/posix/AmbientScopedAccess.h
)
