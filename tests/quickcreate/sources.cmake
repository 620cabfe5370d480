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

if(QUILLET_BUILD_GUI)
  add_test(NAME quick_create_e2e
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/support/x11-session.sh --wm
      ${CMAKE_CURRENT_SOURCE_DIR}/quickcreate/quick_create_e2e_test.sh $<TARGET_FILE:quillet>)
  set_tests_properties(quick_create_e2e PROPERTIES LABELS x11 SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()
