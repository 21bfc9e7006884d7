# Writes one menu entry (VISTAMET_ENTRY_SOURCE) into the install prefix with
# its program's installed path in Exec.
file(READ "${VISTAMET_ENTRY_SOURCE}" text)
get_filename_component(name "${VISTAMET_ENTRY_SOURCE}" NAME)
set(bin "${CMAKE_INSTALL_PREFIX}/bin")
# A path with characters that the entry format would need escaped keeps the
# bare program name, found on the search path.
if(IS_ABSOLUTE "${bin}" AND NOT bin MATCHES "[\"`$\\\\%]")
  string(REGEX REPLACE "\nExec=([A-Za-z]+) " "\nExec=\"${bin}/\\1\" " text "${text}")
endif()
set(dest "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications")
file(MAKE_DIRECTORY "${dest}")
file(WRITE "${dest}/${name}" "${text}")
message(STATUS "Installing: ${dest}/${name}")
