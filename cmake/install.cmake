# `cmake --install <build> --prefix <prefix>` (or `make install PREFIX=<prefix>`):
#   <prefix>/lib/klipfang/          the runnable folder: klipfang, klipfang-fetch, gfx/, vid.kf, sets.cfg,
#                                   and the bundled site: klipfang-site with its catalogue and media in site/
#   <prefix>/bin/klipfang           the launcher
#   <prefix>/share/applications/ID.desktop, <prefix>/share/icons/hicolor/*/apps/ID.{svg,png},
#   <prefix>/share/metainfo/ID.metainfo.xml, <prefix>/share/doc/klipfang/   (ID is KF_APP_ID)
#   <prefix>/share/man/man1/, <prefix>/share/man/de/man1/   klipfang(1) and klipfang-site(1)
# The program keeps its data beside itself; the launcher gives every user a folder of his own when the
# installed one is not writable (see assets/klipfang-launcher).
set(KF_INSTALL_APP_DIR lib/klipfang)

install(TARGETS klipfang klipfang-fetch klipfang-site RUNTIME DESTINATION ${KF_INSTALL_APP_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/assets/gfx DESTINATION ${KF_INSTALL_APP_DIR})
install(FILES ${KF_APP_DIR}/vid.kf DESTINATION ${KF_INSTALL_APP_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/site/data/ DESTINATION ${KF_INSTALL_APP_DIR}/site)

# The launcher brings the bundled site, on a port of the user's own, when the program is built for a
# site on this machine.
set(KF_LAUNCHER_BRINGS_SITE "")
if(KF_SITE_ROOT_BARE MATCHES "^http://(localhost|127\\.0\\.0\\.1)(:[0-9]+)?$")
  set(KF_LAUNCHER_BRINGS_SITE yes)
endif()
configure_file(${PROJECT_SOURCE_DIR}/assets/klipfang-launcher ${CMAKE_BINARY_DIR}/klipfang-launcher @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/klipfang-launcher DESTINATION bin RENAME klipfang)
install(FILES ${PROJECT_SOURCE_DIR}/assets/gfx/klipfang.svg DESTINATION share/icons/hicolor/scalable/apps RENAME ${KF_APP_ID}.svg)

# The settings are the user's once the program has saved them: a second install keeps them. The
# desktop entry names the launcher by its full path, since the prefix's bin folder need not be on
# the desktop session's search path.
install(CODE "
  set(KF_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
  set(KF_INSTALL_APP_DIR \"${KF_INSTALL_APP_DIR}\")
  set(KF_APP_ID \"${KF_APP_ID}\")
  include(\"${PROJECT_SOURCE_DIR}/cmake/install_files_of_the_user.cmake\")
")

# Menus and software centres look for the icon in fixed sizes before the scalable one: the build
# draws those from the one picture.
find_program(KF_RSVG_CONVERT rsvg-convert REQUIRED)
set(icon ${PROJECT_SOURCE_DIR}/assets/gfx/klipfang.svg)
set(drawn_icons)
foreach(size 48 128 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}/${KF_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
    COMMAND ${KF_RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${icon}
    DEPENDS ${icon} VERBATIM)
  list(APPEND drawn_icons ${png})
  install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(icons ALL DEPENDS ${drawn_icons})

install(FILES ${PROJECT_SOURCE_DIR}/assets/${KF_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/assets/copyright DESTINATION share/doc/klipfang)

# The manual pages, English and German, and the changelog, compressed as Debian keeps them: gzip at
# its best without the file's name and time, so that the same page always packs to the same bytes.
find_program(KF_GZIP gzip REQUIRED)
set(compressed_docs)
function(kf_compressed source folder name destination)
  set(copy ${CMAKE_BINARY_DIR}/compressed/${folder}/${name})
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    COMMAND ${KF_GZIP} -9nf ${copy}
    DEPENDS ${source} VERBATIM)
  set(compressed_docs ${compressed_docs} ${copy}.gz PARENT_SCOPE)
  install(FILES ${copy}.gz DESTINATION ${destination})
endfunction()
foreach(page klipfang klipfang-site)
  kf_compressed(${PROJECT_SOURCE_DIR}/assets/man/${page}.1 man ${page}.1 share/man/man1)
  kf_compressed(${PROJECT_SOURCE_DIR}/assets/man/${page}.de.1 man/de ${page}.1 share/man/de/man1)
endforeach()
kf_compressed(${PROJECT_SOURCE_DIR}/assets/changelog doc changelog share/doc/klipfang)
add_custom_target(compressed_docs ALL DEPENDS ${compressed_docs})
file(GLOB screenshots ${PROJECT_SOURCE_DIR}/docs/screenshot-*.png)
install(FILES ${screenshots} DESTINATION share/doc/klipfang/docs)
