# Core sources (no Qt, no GLib) go in QUILLET_CORE_SOURCES; Qt/xcb/D-Bus code in QUILLET_TOOLKIT_SOURCES.
# PercentEncoding and CreateRequestURL use the standard library only: the extension compiles them.
list(APPEND QUILLET_CORE_SOURCES
  app/requests/PercentEncoding.h
  app/requests/PercentEncoding.cpp
  app/requests/CreateRequestURL.h
  app/requests/CreateRequestURL.cpp
  app/requests/URLComponents.h
  app/requests/URLComponents.cpp
  app/requests/CreateFileRequest.h
  app/requests/CreateFileRequest.cpp
  app/requests/CreateRequestHandler.h
  app/requests/CreateRequestHandler.cpp
)
list(APPEND QUILLET_TOOLKIT_SOURCES
)
