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
  support/PrivateSessionBus.h
  support/PrivateSessionBus.cpp
)
