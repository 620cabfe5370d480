list(APPEND QUILLET_UNIT_TEST_SOURCES
  support/QuickCreateDoubles.h
  support/QuickCreateHarness.h
  quickcreate/DesktopCreationControllerTest.cpp
  quickcreate/QuickCreatePanelPlacementTest.cpp
  quickcreate/QuickCreatePanelModelTest.cpp
  quickcreate/CaseFoldingTest.cpp
)
list(APPEND QUILLET_GUI_TEST_SOURCES
  quickcreate/QuickCreatePanelViewTest.cpp
)
list(APPEND QUILLET_GUI_TEST_SOURCES
  support/TemporaryFolder.h
  support/TemporaryFolder.cpp
)
