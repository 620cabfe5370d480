# Core sources (no Qt, no GLib) go in QUILLET_CORE_SOURCES; Qt/xcb/D-Bus code in QUILLET_TOOLKIT_SOURCES.
list(APPEND QUILLET_CORE_SOURCES
)
list(APPEND QUILLET_TOOLKIT_SOURCES
  platform/linux/QtKeyMapping.h
  platform/linux/NautilusFrontFolder.h
  platform/linux/NautilusFrontFolder.cpp
  platform/linux/QtMainQueue.h
  platform/linux/QtMainQueue.cpp
  platform/linux/QtModalAlert.h
  platform/linux/QtModalAlert.cpp
  platform/linux/QtURLOpener.h
  platform/linux/QtURLOpener.cpp
  platform/linux/QtApplicationActivation.h
  platform/linux/QtApplicationActivation.cpp
  platform/linux/DBusFileViewer.h
  platform/linux/DBusFileViewer.cpp
  platform/linux/QtScreenLayout.h
  platform/linux/QtScreenLayout.cpp
  platform/linux/QtWindowOrdering.h
  platform/linux/QtWindowOrdering.cpp
  platform/linux/QtSymbolIcons.h
  platform/linux/QtSymbolIcons.cpp
  platform/linux/QtFolderPanel.h
  platform/linux/QtFolderPanel.cpp
  platform/linux/QtApplicationWindows.h
  platform/linux/QtApplicationWindows.cpp
  platform/linux/DisplayPlatform.h
  platform/linux/DisplayPlatform.cpp
)
list(APPEND QUILLET_TOOLKIT_SOURCES
  platform/linux/X11HotKeyService.h
  platform/linux/X11HotKeyService.cpp
)
