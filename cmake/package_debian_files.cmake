# Runs in cpack before package_folder_modes.cmake, on the staging folder: what dh_strip and
# dpkg-shlibdeps do for a Debian package, and the package's lintian overrides. CPack's own way to the
# dependencies asks `file` about every file of the package, the site's pictures and clips too, in a
# process each: most of the time a package took. Here only the programs are read, known by their
# first bytes.
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${root}" "${root}/*")
set(programs)
foreach(path IN LISTS files)
  if(NOT IS_SYMLINK "${root}/${path}")
    file(READ "${root}/${path}" magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46")
      list(APPEND programs "./${path}")
    endif()
  endif()
endforeach()
if(NOT programs)
  message(FATAL_ERROR "No program in the package")
endif()

# Debian keeps neither the compiler's name nor the notes of the build in a program it ships.
execute_process(COMMAND "${CPACK_KF_STRIP}" --remove-section=.comment --remove-section=.note ${programs}
                WORKING_DIRECTORY "${root}" COMMAND_ERROR_IS_FATAL ANY)

# dpkg-shlibdeps wants the folders of a package being built around the programs it reads.
file(MAKE_DIRECTORY "${root}/debian" "${root}/DEBIAN")
file(WRITE "${root}/debian/control" "")
execute_process(COMMAND "${CPACK_KF_DPKG_SHLIBDEPS}" -O ${programs}
                WORKING_DIRECTORY "${root}" OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_VARIABLE said RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "dpkg-shlibdeps ${programs}: ${said}")
endif()
file(REMOVE_RECURSE "${root}/debian" "${root}/DEBIAN")
string(REGEX REPLACE "^.*Depends=" "" linked "${found}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}, ${linked}")

set(overrides "${root}/usr/share/lintian/overrides")
file(MAKE_DIRECTORY "${overrides}")
file(COPY_FILE "${CPACK_KF_LINTIAN_OVERRIDES}" "${overrides}/klipfang")
file(CHMOD "${overrides}/klipfang" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
