# Run at install time (see CMakeLists.txt): writes the desktop entry for the
# prefix actually installed to, which `cmake --install --prefix` may change
# after configuring. Expects ENTRY_TEMPLATE, ENTRY_OUTPUT, ZORBALIN_APP_ID and
# BINDIR (relative to the prefix, or absolute).
if(IS_ABSOLUTE "${BINDIR}")
  set(ZORBALIN_LAUNCHER_PATH "${BINDIR}/zorbalin")
else()
  set(ZORBALIN_LAUNCHER_PATH "${CMAKE_INSTALL_PREFIX}/${BINDIR}/zorbalin")
endif()
configure_file("${ENTRY_TEMPLATE}" "${ENTRY_OUTPUT}" @ONLY)
