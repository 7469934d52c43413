# Runs at install time, with CMAKE_INSTALL_PREFIX the prefix installed to and DESTDIR, when set, the
# staging folder in front of it.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
# What every user's launcher and desktop read, whatever the umask of the one who installs.
set(readable OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

set(settings "${root}/${KF_INSTALL_APP_DIR}/sets.cfg")
if(EXISTS "${settings}")
  message(STATUS "Kept: ${settings}")
else()
  message(STATUS "Installing: ${settings}")
  file(COPY_FILE "${KF_SOURCE_DIR}/assets/sets.cfg" "${settings}")
  file(CHMOD "${settings}" PERMISSIONS ${readable})
endif()

# A quoted argument of a desktop entry's Exec key holds any path but one with these characters,
# which would need escapes of two kinds.
set(launcher "${CMAKE_INSTALL_PREFIX}/bin/klipfang")
if(launcher MATCHES "[\"`$\\\\%]")
  message(FATAL_ERROR "The desktop entry cannot name ${launcher}: choose a prefix without \" ` $ \\ or %")
endif()
file(READ "${KF_SOURCE_DIR}/assets/${KF_APP_ID}.desktop" entry)
string(REPLACE "Exec=klipfang" "Exec=\"${launcher}\"" entry "${entry}")
set(entry_file "${root}/share/applications/${KF_APP_ID}.desktop")
message(STATUS "Installing: ${entry_file}")
file(WRITE "${entry_file}" "${entry}")
file(CHMOD "${entry_file}" PERMISSIONS ${readable})

# An earlier install named the entry and the icon after the program. Left in place, that entry would
# put Klipfang in the menu twice; it goes when it starts this launcher, and the icon with it when it
# is the picture installed now.
set(old_entry "${root}/share/applications/klipfang.desktop")
set(old_icon "${root}/share/icons/hicolor/scalable/apps/klipfang.svg")
if(EXISTS "${old_entry}")
  file(STRINGS "${old_entry}" old_exec REGEX "^Exec=")
  if(old_exec STREQUAL "Exec=\"${launcher}\"")
    message(STATUS "Removing the old name: ${old_entry}")
    file(REMOVE "${old_entry}")
    if(EXISTS "${old_icon}")
      file(SHA256 "${old_icon}" old_icon_sum)
      file(SHA256 "${KF_SOURCE_DIR}/assets/gfx/klipfang.svg" icon_sum)
      if(old_icon_sum STREQUAL icon_sum)
        message(STATUS "Removing the old name: ${old_icon}")
        file(REMOVE "${old_icon}")
      endif()
    endif()
  endif()
endif()
