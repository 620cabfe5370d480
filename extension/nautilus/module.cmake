# The GNOME Files (Nautilus 43) module. Nautilus loads it into its own GTK process, so it links
# the core and GLib/GIO only, never Qt. Built when libnautilus-extension-4 is found.
pkg_check_modules(NAUTILUS_EXTENSION IMPORTED_TARGET libnautilus-extension-4)
if(NOT NAUTILUS_EXTENSION_FOUND)
  message(STATUS "libnautilus-extension-4 not found: the Nautilus module is not built")
  return()
endif()

add_library(quillet-nautilus MODULE ${QUILLET_NAUTILUS_MODULE_SOURCES})
target_link_libraries(quillet-nautilus PRIVATE quillet_core PkgConfig::NAUTILUS_EXTENSION)
# Only the three entry points leave the module: the core's symbols must not meet those of
# other modules in the same process.
set_target_properties(quillet-nautilus PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
target_link_options(quillet-nautilus PRIVATE -Wl,--exclude-libs,ALL)
if(NOT QUILLET_SANITIZE)
  # Nautilus opens modules with lazy binding; a missing symbol would only show at the first click.
  target_link_options(quillet-nautilus PRIVATE -Wl,--no-undefined)
endif()
quillet_warnings(quillet-nautilus)

# Installed where Nautilus looks (pkg-config's extensiondir) when the install prefix is the one
# Nautilus was built for (/usr). Any other prefix (a per-user or staged install) gets the same
# folder relative to its own libdir, <prefix>/<libdir>/nautilus/extensions-4, from where Nautilus
# does not load it by itself. The choice is made at install time, so `cmake --install --prefix`
# decides; file(INSTALL) puts DESTDIR in front, so staging works in both cases.
pkg_get_variable(NAUTILUS_EXTENSION_PREFIX libnautilus-extension-4 prefix)
pkg_get_variable(NAUTILUS_EXTENSION_LIBDIR libnautilus-extension-4 libdir)
pkg_get_variable(NAUTILUS_EXTENSION_DIR libnautilus-extension-4 extensiondir)
set(quillet_nautilus_relative_dir nautilus/extensions-4)
if(NAUTILUS_EXTENSION_LIBDIR AND NAUTILUS_EXTENSION_DIR)
  file(RELATIVE_PATH quillet_nautilus_relative_dir "${NAUTILUS_EXTENSION_LIBDIR}" "${NAUTILUS_EXTENSION_DIR}")
  if(quillet_nautilus_relative_dir MATCHES "^\\.\\.")
    set(quillet_nautilus_relative_dir nautilus/extensions-4)
  endif()
endif()
install(CODE "
  string(REGEX REPLACE \"/+$\" \"\" quillet_prefix \"\${CMAKE_INSTALL_PREFIX}\")
  if(quillet_prefix STREQUAL \"${NAUTILUS_EXTENSION_PREFIX}\" AND NOT \"${NAUTILUS_EXTENSION_DIR}\" STREQUAL \"\")
    set(quillet_nautilus_dir \"${NAUTILUS_EXTENSION_DIR}\")
  else()
    set(quillet_nautilus_dir \"\${quillet_prefix}/${CMAKE_INSTALL_LIBDIR}/${quillet_nautilus_relative_dir}\")
  endif()
  file(INSTALL DESTINATION \"\${quillet_nautilus_dir}\" TYPE MODULE
       FILES \"$<TARGET_FILE:quillet-nautilus>\")
" COMPONENT nautilus)
