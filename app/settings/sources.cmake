# Core sources (no Qt, no GLib) go in QUILLET_CORE_SOURCES; Qt/xcb/D-Bus code in QUILLET_TOOLKIT_SOURCES.
list(APPEND QUILLET_CORE_SOURCES
  app/settings/DefaultsValue.h
  app/settings/DefaultsValue.cpp
  app/settings/DefaultsSuite.h
  app/settings/DefaultsSuite.cpp
  app/settings/AppPresence.h
  app/settings/AppPresence.cpp
  app/settings/SettingsKeys.h
  app/settings/SettingsKeys.cpp
  app/settings/AppSettings.h
  app/settings/AppSettings.cpp
)
list(APPEND QUILLET_TOOLKIT_SOURCES
)
