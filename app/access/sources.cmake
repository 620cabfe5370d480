# Core sources (no Qt, no GLib) go in QUILLET_CORE_SOURCES; Qt/xcb/D-Bus code in QUILLET_TOOLKIT_SOURCES.
list(APPEND QUILLET_CORE_SOURCES
  app/access/SecurityScopedFolderAccessError.h
  app/access/SecurityScopedFolderAccessError.cpp
  app/access/SecurityScopedFolderAccess.h
  app/access/SecurityScopedFolderAccess.cpp
)
list(APPEND QUILLET_TOOLKIT_SOURCES
)
