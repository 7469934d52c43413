# cmake -DSRC=from -DDST=to -P copy_if_missing.cmake
if(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()
