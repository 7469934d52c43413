# Runs in cpack between the install into the staging folder and the packing: the install made the
# folders with the umask of whoever builds, and dpkg would make them so on every machine. Everyone
# must be able to enter the program's folder and read the desktop's files.
file(GLOB_RECURSE folders LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(folder IN LISTS folders)
  if(IS_DIRECTORY "${folder}" AND NOT IS_SYMLINK "${folder}")
    file(CHMOD "${folder}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                       WORLD_EXECUTE)
  endif()
endforeach()
