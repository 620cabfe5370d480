# Resources the program finds beside itself (share/quillet), copied into the build tree so the
# built program behaves like an installed one.
set(QUILLET_RESOURCE_FILES
  resources/blank.docx
  resources/blank.xlsx
  resources/blank.pptx
)
set(_quillet_resource_outputs)
foreach(file IN LISTS QUILLET_RESOURCE_FILES)
  get_filename_component(name ${file} NAME)
  add_custom_command(OUTPUT ${QUILLET_BUILD_DATADIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/${file} ${QUILLET_BUILD_DATADIR}/${name}
    DEPENDS ${CMAKE_SOURCE_DIR}/${file})
  list(APPEND _quillet_resource_outputs ${QUILLET_BUILD_DATADIR}/${name})
  install(FILES ${file} DESTINATION ${CMAKE_INSTALL_DATADIR}/quillet)
endforeach()
add_custom_target(quillet_resources ALL DEPENDS ${_quillet_resource_outputs})

# The desktop entry registers the quillaxe: scheme, so it goes where desktops look for entries.
install(FILES resources/org.quillet.Quillet.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
