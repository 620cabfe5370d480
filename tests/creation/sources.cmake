list(APPEND QUILLET_UNIT_TEST_SOURCES
  creation/CreationDestinationTest.cpp
  creation/FileCreationServiceTest.cpp
  creation/FolderAccessCreationTest.cpp
  support/ScopedEnvironmentVariable.h
  support/ChildProcess.h
  support/CountingScopedAccess.h
  support/ScriptedFileCoordinator.h
)

# The bundled office templates: well-formed packages, exactly what the generator writes, and
# documents a real office suite opens.
add_test(NAME office_templates_are_well_formed
  COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/creation/office_templates_test.py structure ${CMAKE_SOURCE_DIR})
add_test(NAME office_templates_match_generator
  COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/creation/office_templates_test.py generated ${CMAKE_SOURCE_DIR})
set_tests_properties(office_templates_are_well_formed office_templates_match_generator PROPERTIES LABELS unit)
if(TARGET quillet)
  add_test(NAME office_templates_open_in_libreoffice
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/creation/office_templates_open_test.sh $<TARGET_FILE:quillet>)
  set_tests_properties(office_templates_open_in_libreoffice PROPERTIES LABELS e2e TIMEOUT 900
    SKIP_RETURN_CODE 77)
endif()

# The front file manager folder from a real Nautilus under Xvfb, openbox and a private bus.
if(TARGET quillet)
  add_test(NAME front_file_manager_folder
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/creation/front_folder_e2e.sh $<TARGET_FILE:quillet>)
  set_tests_properties(front_file_manager_folder PROPERTIES LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 180)
endif()
