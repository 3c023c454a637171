# What `cmake --install` puts where, and the Debian package CPack makes of it
# (scripts/package). Included by CMakeLists.txt for the native build.
include(GNUInstallDirs)

install(TARGETS zedariva zedariva-pack zedariva-render zedariva-content RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The default content and the icons, generated as part of the build; the
# manual pages and the package's changelog compressed, as Debian keeps them.
set(zd_made ${CMAKE_BINARY_DIR}/install-files)
set(zd_icons)
foreach(side 48 128 256)
  list(APPEND zd_icons ${zd_made}/icons/zedariva-${side}.png)
endforeach()
set(zd_manuals zedariva.6 zedariva-pack.1 zedariva-render.1 zedariva-content.1)
set(zd_compressed_manuals)
foreach(manual ${zd_manuals})
  add_custom_command(OUTPUT ${zd_made}/man/${manual}.gz
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${zd_made}/man
                     COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/docs/man/${manual} > ${zd_made}/man/${manual}.gz
                     DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/${manual} VERBATIM)
  list(APPEND zd_compressed_manuals ${zd_made}/man/${manual}.gz)
endforeach()
add_custom_command(OUTPUT ${zd_made}/data.fil ${zd_made}/tazutune.it
                   COMMAND zedariva-content ${zd_made} DEPENDS zedariva-content VERBATIM)
add_custom_command(OUTPUT ${zd_icons} COMMAND zedariva-content --icons ${zd_made}/icons
                   DEPENDS zedariva-content VERBATIM)
add_custom_command(OUTPUT ${zd_made}/changelog.Debian.gz
                   COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${zd_made}/changelog.Debian.gz
                   DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(zd_install_files ALL
                  DEPENDS ${zd_made}/data.fil ${zd_icons} ${zd_compressed_manuals} ${zd_made}/changelog.Debian.gz)

install(FILES ${zd_made}/data.fil ${zd_made}/tazutune.it DESTINATION ${CMAKE_INSTALL_DATADIR}/zedariva)
install(FILES packaging/zedariva.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/zedariva.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(side 48 128 256)
  install(FILES ${zd_made}/icons/zedariva-${side}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps
          RENAME zedariva.png)
endforeach()
install(FILES ${zd_made}/man/zedariva.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${zd_made}/man/zedariva-pack.1.gz ${zd_made}/man/zedariva-render.1.gz
              ${zd_made}/man/zedariva-content.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md packaging/copyright ${zd_made}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: dependencies from the libraries the programs link,
# ffmpeg recommended for the video capture.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zedariva)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "The zedariva developers <developers@zedariva.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual presentation drawn in software")
set(CPACK_PACKAGE_DESCRIPTION "2D and 3D scenes drawn entirely in software into a frame of 512 x 256
pixels and timed to one piece of tracker music: keyframe-animated meshes
with lights and particles, warped and glowing pictures, fades and smears.
It plays by itself, full screen or scaled sharply to today's screens; a
viewer can pause it and move between the music's orders, and capture it to
a video or to pictures. The package holds its default content and the
tools to make content of one's own.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
