list(APPEND QUILLET_UNIT_TEST_SOURCES
  support/RecordingFinderSyncHost.h
  extension/FinderSyncTest.cpp
)

# The built Nautilus module, loaded as Nautilus loads it, its menus checked and a chosen item
# followed through GIO to the quillet program registered as the quillaxe: handler.
if(TARGET quillet-nautilus)
  add_executable(quillet_nautilus_harness
    extension/NautilusModuleHarness.cpp
    support/NautilusHarness.h
    support/NautilusHarness.cpp
    support/TemporaryFolder.h
    support/TemporaryFolder.cpp)
  target_link_libraries(quillet_nautilus_harness PRIVATE quillet_core PkgConfig::NAUTILUS_EXTENSION GTest::gtest)
  pkg_check_modules(GMODULE REQUIRED IMPORTED_TARGET gmodule-2.0)
  target_link_libraries(quillet_nautilus_harness PRIVATE PkgConfig::GMODULE)
  target_include_directories(quillet_nautilus_harness PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(quillet_nautilus_harness PRIVATE
    QUILLET_NAUTILUS_MODULE="$<TARGET_FILE:quillet-nautilus>" QUILLET_PROGRAM="$<TARGET_FILE:quillet>")
  quillet_warnings(quillet_nautilus_harness)
  add_dependencies(quillet_nautilus_harness quillet-nautilus quillet)
  add_test(NAME nautilus_module_harness COMMAND quillet_nautilus_harness)
  set_tests_properties(nautilus_module_harness PROPERTIES LABELS e2e TIMEOUT 120)

  add_test(NAME nautilus_module_install
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/extension/nautilus_install_test.sh ${CMAKE_BINARY_DIR} ${CMAKE_COMMAND})
  set_tests_properties(nautilus_module_install PROPERTIES LABELS unit)
endif()
