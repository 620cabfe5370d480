# Core sources (no Qt, no GLib) go in QUILLET_CORE_SOURCES; Qt/xcb/D-Bus code in QUILLET_TOOLKIT_SOURCES.
list(APPEND QUILLET_CORE_SOURCES
  app/quickcreate/CreationDestinations.h
  app/quickcreate/DesktopCreationController.h
  app/quickcreate/DesktopCreationController.cpp
  app/quickcreate/QuickCreatePanelHost.h
  app/quickcreate/QuickCreatePanelModel.h
  app/quickcreate/QuickCreatePanelModel.cpp
  app/quickcreate/QuickCreatePanelPlacement.h
  app/quickcreate/QuickCreatePanelPlacement.cpp
  app/quickcreate/SymbolIcons.h
  app/quickcreate/SymbolIcons.cpp
)
list(APPEND QUILLET_TOOLKIT_SOURCES
  app/quickcreate/QuickCreatePanelView.h
  app/quickcreate/QuickCreatePanelView.cpp
  app/quickcreate/QuickCreatePanelWindow.h
  app/quickcreate/QuickCreatePanelWindow.cpp
)
