list(APPEND QUILLET_UNIT_TEST_SOURCES
  settings/DefaultsValueTest.cpp
  settings/DefaultsSuiteTest.cpp
  settings/AppSettingsTest.cpp
  support/ScopedConfigHome.h
)

# A writer killed at random moments loses nothing that had returned. The full run (ten rounds of
# 10,000 assignments) is bench/defaults_sigkill.sh; this is the same check, smaller.
add_executable(quillet_defaults_kill_check settings/DefaultsKillCheck.cpp)
target_link_libraries(quillet_defaults_kill_check PRIVATE quillet_core)
quillet_warnings(quillet_defaults_kill_check)
add_test(NAME defaults_survive_sigkill COMMAND quillet_defaults_kill_check --rounds 10 --count 400)
set_tests_properties(defaults_survive_sigkill PROPERTIES LABELS e2e TIMEOUT 300)

if(QUILLET_BUILD_GUI)
  add_test(NAME defaults_command_line
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/settings/defaults_command_line_test.sh $<TARGET_FILE:quillet>)
  set_tests_properties(defaults_command_line PROPERTIES LABELS unit)
endif()
