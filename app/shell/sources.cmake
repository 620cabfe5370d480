# Core sources (no Qt, no GLib) go in QUILLET_CORE_SOURCES; Qt/xcb/D-Bus code in QUILLET_TOOLKIT_SOURCES.
list(APPEND QUILLET_CORE_SOURCES
  app/shell/SingleInstanceLock.h
  app/shell/SingleInstanceLock.cpp
)
list(APPEND QUILLET_TOOLKIT_SOURCES
)
# The composition root: only the application itself builds the long-lived parts.
list(APPEND QUILLET_APP_SOURCES
  app/shell/Application.h
  app/shell/Application.cpp
)
