# Runs at install time, with CMAKE_INSTALL_PREFIX the prefix installed to and DESTDIR, when set, the
# staging folder in front of it.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

set(settings "${root}/${KF_INSTALL_APP_DIR}/sets.cfg")
if(EXISTS "${settings}")
  message(STATUS "Kept: ${settings}")
else()
  message(STATUS "Installing: ${settings}")
  file(COPY_FILE "${KF_SOURCE_DIR}/assets/sets.cfg" "${settings}")
endif()

# A quoted argument of a desktop entry's Exec key holds any path but one with these characters,
# which would need escapes of two kinds.
set(launcher "${CMAKE_INSTALL_PREFIX}/bin/klipfang")
if(launcher MATCHES "[\"`$\\\\%]")
  message(FATAL_ERROR "The desktop entry cannot name ${launcher}: choose a prefix without \" ` $ \\ or %")
endif()
file(READ "${KF_SOURCE_DIR}/assets/klipfang.desktop" entry)
string(REPLACE "Exec=klipfang" "Exec=\"${launcher}\"" entry "${entry}")
set(entry_file "${root}/share/applications/klipfang.desktop")
message(STATUS "Installing: ${entry_file}")
file(WRITE "${entry_file}" "${entry}")
