# Installation layout and the Debian package (CPack). The program sees one folder,
# /usr/lib/lum1, as a portable copy does: its Help and Language folders there are links to
# /usr/share/lum1, where the file system standard puts data that is the same on every
# architecture. /usr/bin/lum1 only points at the program (the program finds its folder
# through /proc/self/exe, so the link's place does not matter).

# The gauge's udev rule. Its number keeps it ahead of systemd's uaccess rules (71, 73).
set(LUM1_UDEV_RULES ${PROJECT_SOURCE_DIR}/packaging/60-lum1.rules)

option(LUM1_PACKAGE "Build the files the Debian package installs and set up CPack (scripts/package)" OFF)
if(NOT LUM1_PACKAGE)
  return()
endif()

# Sample values a distributor replaces (README.md, "Debian package"), on the cmake command
# line or here.
set(LUM1_PACKAGE_MAINTAINER "LUM-1 package maintainer (sample) <packages@example.com>"
    CACHE STRING "Maintainer field of the Debian package")
set(LUM1_PACKAGE_HOMEPAGE "https://www.example.com/lum1" CACHE STRING "Homepage of the package and the AppStream data")
set(LUM1_DEVELOPER_NAME "LUM-1 distributor (sample)" CACHE STRING "Developer named in the AppStream data")
set(LUM1_PROJECT_LICENSE "LicenseRef-proprietary" CACHE STRING "SPDX licence expression of the AppStream data")
# The AppStream component id, also the desktop entry's file name: reverse DNS of the
# distributor's domain.
set(LUM1_APP_ID "com.example.lum1" CACHE STRING "Desktop and AppStream id")
# The date of this version's release, in the changelog and the AppStream data.
set(LUM1_RELEASE_DATE 2026-12-10)
set(LUM1_RELEASE_DATE_RFC2822 "Thu, 10 Dec 2026 12:00:00 +0000")

find_program(LUM1_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(LUM1_GZIP gzip REQUIRED)

add_subdirectory(tools/langfiles)

set(pkgsrc ${PROJECT_SOURCE_DIR}/packaging)
set(gen ${PROJECT_BINARY_DIR}/package-files)
file(MAKE_DIRECTORY ${gen})

# The shipped language files, written by the program's own code.
set(language_files)
foreach(name Russian.ini English.ini Russian.frc English.frc)
  list(APPEND language_files ${gen}/Language/${name})
endforeach()
add_custom_command(OUTPUT ${language_files}
  COMMAND lum1_langfiles ${gen}
  DEPENDS lum1_langfiles
  COMMENT "Writing the shipped language files" VERBATIM)

set(icon_sizes 16 32 48 64 128 256)
set(icon_pngs)
foreach(size ${icon_sizes})
  set(png ${gen}/icons/${size}x${size}/lum1.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${gen}/icons/${size}x${size}
    COMMAND ${LUM1_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${pkgsrc}/lum1.svg
    DEPENDS ${pkgsrc}/lum1.svg VERBATIM)
  list(APPEND icon_pngs ${png})
endforeach()

# Debian wants manual pages and changelogs compressed at the highest level, with no time stamp.
configure_file(${pkgsrc}/changelog.in ${gen}/changelog @ONLY)
foreach(pair "${pkgsrc}/lum1.1|${gen}/lum1.1.gz" "${gen}/changelog|${gen}/changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  add_custom_command(OUTPUT ${to}
    COMMAND sh -c "${LUM1_GZIP} -9n -c \"$1\" > \"$2\"" sh ${from} ${to}
    DEPENDS ${from} VERBATIM)
endforeach()

configure_file(${pkgsrc}/lum1.metainfo.xml.in ${gen}/${LUM1_APP_ID}.metainfo.xml @ONLY)
file(CREATE_LINK ../lib/lum1/lum1 ${gen}/lum1 SYMBOLIC)
file(MAKE_DIRECTORY ${gen}/links)
foreach(folder Help Language)
  file(CREATE_LINK ../../share/lum1/${folder} ${gen}/links/${folder} SYMBOLIC)
endforeach()

add_custom_target(lum1_package_files ALL
  DEPENDS ${language_files} ${icon_pngs} ${gen}/lum1.1.gz ${gen}/changelog.gz)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(progdir lib/lum1)
install(TARGETS lum1 RUNTIME DESTINATION ${progdir})
install(FILES ${gen}/lum1 DESTINATION bin)
install(FILES ${gen}/links/Help ${gen}/links/Language DESTINATION ${progdir})
# Whatever the Help folder holds at packaging time: the manuals and their pictures.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/Help/ DESTINATION share/lum1/Help)
install(FILES ${language_files} DESTINATION share/lum1/Language)
install(FILES ${pkgsrc}/vendor.ini DESTINATION ${progdir})
# No write bit on the program folder: the program then keeps its files in the user's folders
# even for root, who could write it anyway, instead of writing into the package's files.
install(CODE "file(CHMOD \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${progdir}\"
  DIRECTORY_PERMISSIONS OWNER_READ OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)")
install(FILES ${pkgsrc}/lintian-overrides DESTINATION share/lintian/overrides RENAME lum1)
install(FILES ${LUM1_UDEV_RULES} DESTINATION lib/udev/rules.d)
install(FILES ${pkgsrc}/lum1.desktop DESTINATION share/applications RENAME ${LUM1_APP_ID}.desktop)
install(FILES ${gen}/${LUM1_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${pkgsrc}/lum1-mime.xml DESTINATION share/mime/packages RENAME lum1.xml)
install(FILES ${pkgsrc}/lum1.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size ${icon_sizes})
  install(FILES ${gen}/icons/${size}x${size}/lum1.png DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${gen}/lum1.1.gz DESTINATION share/man/man1)
install(FILES ${pkgsrc}/copyright ${gen}/changelog.gz DESTINATION share/doc/lum1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lum1)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${LUM1_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion program of the LUM-1 asphalt density gauge")
# The summary is the first line; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Reads the archive of measurements of a LUM-1 hand-held asphalt density gauge
over USB and shows it as a table. Results are kept in .lum1 files, copied to
other programs, printed as a report or exported to PDF, HTML, CSV or text; the
gauge's screen can be read as a picture. Russian and English interface.
.
The package gives the user at the console access to the gauge (udev rule).")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${LUM1_PACKAGE_HOMEPAGE}")
# dpkg-shlibdeps sees only the linked libraries. libusb-0.1 is opened by name at run time,
# the report's fonts and Qt's own Russian texts are data files: each is named here. So are
# the Qt SQL drivers, plugins loaded at run time: SQLite for the archive, PostgreSQL for a
# lab's shared one.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libusb-0.1-4, fonts-liberation2, qt6-translations-l10n, libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
include(CPack)
