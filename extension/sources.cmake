# Core sources (no Qt, no GLib) go in QUILLET_CORE_SOURCES; Qt/xcb/D-Bus code in QUILLET_TOOLKIT_SOURCES.
list(APPEND QUILLET_CORE_SOURCES
  extension/FinderSyncHost.h
  extension/FinderSync.h
  extension/FinderSync.cpp
  extension/CreateFileGlyph.h
  extension/CreateFileGlyph.cpp
)
list(APPEND QUILLET_TOOLKIT_SOURCES
)
# The Nautilus module: GLib/GIO and the core, never Qt, so it is not part of the toolkit library.
# extension/nautilus/module.cmake builds it.
set(QUILLET_NAUTILUS_MODULE_SOURCES
  extension/nautilus/NautilusFinderSyncHost.h
  extension/nautilus/NautilusFinderSyncHost.cpp
  extension/nautilus/NautilusMenuProvider.h
  extension/nautilus/NautilusMenuProvider.cpp
  extension/nautilus/NautilusModule.cpp
)
