# Core sources (no Qt, no GLib) go in QUILLET_CORE_SOURCES; Qt/xcb/D-Bus code in QUILLET_TOOLKIT_SOURCES.
list(APPEND QUILLET_CORE_SOURCES
  app/shortcuts/QuickCreateShortcut.h
  app/shortcuts/QuickCreateShortcut.cpp
  app/shortcuts/ShortcutConflicts.h
  app/shortcuts/ShortcutConflicts.cpp
  app/shortcuts/KeyCodeMapping.h
  app/shortcuts/GlobalHotKeyManager.h
  app/shortcuts/GlobalHotKeyManager.cpp
)
list(APPEND QUILLET_TOOLKIT_SOURCES
)
