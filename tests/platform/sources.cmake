list(APPEND QUILLET_UNIT_TEST_SOURCES
  platform/LoggerTest.cpp
  platform/FilePathsTest.cpp
  platform/FrontFileManagerFolderTest.cpp
  platform/StderrModalAlertTest.cpp
  platform/FileManagerTest.cpp
  platform/LockFileCoordinatorTest.cpp
  platform/PosixFolderBookmarksTest.cpp
  platform/LocalizedStandardCompareTest.cpp
)
list(APPEND QUILLET_GUI_TEST_SOURCES
  platform/ToolkitSmokeTest.cpp
  platform/ModalAlertAdapterTest.cpp
  platform/ApplicationActivationAdapterTest.cpp
  platform/DesktopServicesAdapterTest.cpp
  platform/FolderPanelAdapterTest.cpp
  support/PrivateSessionBus.h
  support/PrivateSessionBus.cpp
)

# Hot keys on a real X server (Xvfb through tests/support/x11-session.sh), typed through XTest.
list(APPEND QUILLET_GUI_TEST_SOURCES
  platform/X11HotKeyServiceOffscreenTest.cpp
)
if(QUILLET_BUILD_GUI)
  pkg_check_modules(XCB_XTEST REQUIRED IMPORTED_TARGET xcb-xtest)
  add_executable(quillet_x11_hotkey_tests platform/X11HotKeyServiceTest.cpp support/XTestKeyboard.h)
  target_link_libraries(quillet_x11_hotkey_tests PRIVATE quillet_toolkit Qt6::Test GTest::gtest
    PkgConfig::XCB_XTEST)
  target_include_directories(quillet_x11_hotkey_tests PRIVATE ${CMAKE_SOURCE_DIR})
  quillet_warnings(quillet_x11_hotkey_tests)
  add_test(NAME x11_hot_keys
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/support/x11-session.sh $<TARGET_FILE:quillet_x11_hotkey_tests>)
  set_tests_properties(x11_hot_keys PROPERTIES LABELS x11 SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()
