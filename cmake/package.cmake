# `make package`: klipfang_VERSION_ARCH.deb, everything `make install` lays out, for the prefix /usr.
# The launcher gives each user a folder of his own (the installed one belongs to root), and no
# maintainer script touches a home folder: removing the package leaves every user's data as it is.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME klipfang)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Installed with DESTDIR in front of the prefix rather than into a prefix inside the staging folder,
# so that what the install writes into files (the launcher's path in the desktop entry) is /usr.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped as Debian strips, and dependent on the libraries the programs link, by
# package_debian_files.cmake, which also puts the lintian overrides in.
find_program(KF_DPKG_SHLIBDEPS dpkg-shlibdeps)
set(CPACK_KF_STRIP ${CMAKE_STRIP})
set(CPACK_KF_DPKG_SHLIBDEPS ${KF_DPKG_SHLIBDEPS})
set(CPACK_KF_LINTIAN_OVERRIDES ${PROJECT_SOURCE_DIR}/assets/lintian-overrides)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/package_debian_files.cmake
                            ${PROJECT_SOURCE_DIR}/cmake/package_folder_modes.cmake)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Die Klipfang-Macher <kontakt@klipfang.de>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://klipfang.de/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "search a video site, watch its videos and download them")
# Below the summary line, which dpkg takes from the summary: the English description, then the
# German, since a control file has one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "\
Klipfang is a small German-language desktop client for a video site. You
type search words; Klipfang fetches the site's result pages and lists the
videos. It shows a video's title and preview picture, plays it in its own
video window, keeps favourites and downloads videos. It ships its own video
site, so that it can be tried without any network.
.
The same site serves your own videos: klipfang --library FOLDER lists the
video files in a folder of yours, to search, watch, keep and download.
.
Klipfang ist ein kleines Programm für eine Videoseite: Videos suchen, mit
Titel und Vorschaubild sehen, im eigenen Videofenster anschauen, als
Favoriten behalten und herunterladen. Eine eigene Videoseite zum
Ausprobieren ohne Netzwerk ist dabei; mit klipfang --library ORDNER zeigt
sie Ihre eigenen Videos aus einem Ordner.")

# dpkg-shlibdeps finds the libraries the programs link, and with the web engine's library its own
# process (package_debian_files.cmake adds them). What Qt loads at run time it cannot see: the
# screen's platform plugins and the SVG plugin that draws every picture. The windows' texts were
# fitted to DejaVu Sans Condensed, which a Debian desktop need not have: in the wider DejaVu Sans a
# label loses its end. Packages whose programs Klipfang runs go into KF_PACKAGE_EXTRA_DEPENDS, one
# list item each: the site converts what the video window cannot play with the ffmpeg program.
set(KF_PACKAGE_EXTRA_DEPENDS ffmpeg)
set(depends qt6-qpa-plugins libqt6svg6 fonts-dejavu-extra ${KF_PACKAGE_EXTRA_DEPENDS})
list(JOIN depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# The downloads window opens files and folders with the desktop's programs; Wayland sessions show
# Klipfang natively with Qt's Wayland plugin. Without a notification tool a finished download shows
# only in the downloads window.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libnotify-bin")

include(CPack)
