# What `cmake --install` puts on a system, and the Debian package CPack makes of it.
include(GNUInstallDirs)

install(TARGETS qpv-panel qpv-sim qpv-ctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The desktop entry, the metainfo and the man pages name the version: generated with it.
foreach(file ${qpv_app_id}.desktop ${qpv_app_id}.metainfo.xml man/qpv-panel.1 man/qpv-sim.1
             man/qpv-ctl.1)
    configure_file(packaging/${file}.in ${qpv_generated}/packaging/${file} @ONLY)
endforeach()
install(FILES ${qpv_generated}/packaging/${qpv_app_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${qpv_generated}/packaging/${qpv_app_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/icons/${qpv_app_id}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 32 48 64 128 256)
    install(FILES packaging/icons/${qpv_app_id}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${qpv_app_id}.png)
endforeach()
install(FILES ${qpv_generated}/packaging/man/qpv-panel.1 ${qpv_generated}/packaging/man/qpv-sim.1
              ${qpv_generated}/packaging/man/qpv-ctl.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/completion/qpv-ctl
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qpv-panel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR OMTA)
set(CPACK_PACKAGE_CONTACT "OMTA <support@omta.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control panel for the QPV-7100 projector (RS-232C)")
# One string: set() with several would make a list, and the package would read its ';'.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Sends the QPV-7100 projector's commands over a serial line, shows the traffic with every "
       "control character made visible and decodes the replies to status queries. Includes "
       "qpv-ctl, the same exchanges from a script, and qpv-sim, a simulated projector on a "
       "pseudo-terminal.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON) # the Qt and C++ libraries, from the binaries themselves
# Not visible to the library scan: the window-system plugins and the panel's Japanese fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic")
# A Wayland desktop without XWayland needs Qt's Wayland plugin; Qt's own words (the box's
# button, the command line's mistakes) in the operator's language come with its translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
