# The install layout and the Debian package built by cpack.
#
# /usr/lib/mirda is the program folder: the executable, a marker saying a package owns the folder
# (so the settings go to the user's configuration folder), and links to the sample data and the
# manual in /usr/share/mirda, which the first run copies into the working folder.
# /usr/bin/mirda links to the executable; Qt finds the program folder through /proc/self/exe.

set(MIRDA_PACKAGE_MAINTAINER "Mirda developers <mirda@example.org>"
    CACHE STRING "Maintainer named in the Debian package and its changelog")

set(MIRDA_PACKAGE_BUILD_DIR ${CMAKE_BINARY_DIR}/package-files)
set(programDir lib/mirda)
set(dataDir share/mirda)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS mirda RUNTIME DESTINATION ${programDir})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${dataDir})

# The program folder: one relative link for every entry of data/, the marker, the command.
set(programLinks ${MIRDA_PACKAGE_BUILD_DIR}/program)
file(REMOVE_RECURSE ${programLinks})
file(MAKE_DIRECTORY ${programLinks})
file(GLOB dataEntries RELATIVE ${PROJECT_SOURCE_DIR}/data CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/*)
foreach(entry IN LISTS dataEntries)
    file(CREATE_LINK ../../${dataDir}/${entry} ${programLinks}/${entry} SYMBOLIC)
endforeach()
file(WRITE ${programLinks}/mirda.installed
     "Installed by a package: Mrda.ini is kept in each user's configuration folder.\n")
set(commandLink ${MIRDA_PACKAGE_BUILD_DIR}/bin/mirda)
file(MAKE_DIRECTORY ${MIRDA_PACKAGE_BUILD_DIR}/bin)
file(CREATE_LINK ../${programDir}/mirda ${commandLink} SYMBOLIC)
install(DIRECTORY ${programLinks}/ DESTINATION ${programDir})
install(FILES ${commandLink} DESTINATION bin)

# Menu entry, icons, manual page and the package's own documents.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/mirda.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/src/ui/app/resources/logo.svg
        DESTINATION share/icons/hicolor/scalable/apps RENAME mirda.svg)
find_program(MIRDA_RSVG_CONVERT rsvg-convert)
if(MIRDA_RSVG_CONVERT)
    # Rendered from the splash logo at build time, so that the icons follow it.
    set(iconOutputs)
    foreach(size 16 24 32 48 64 128 256)
        set(png ${MIRDA_PACKAGE_BUILD_DIR}/icons/${size}x${size}/mirda.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${MIRDA_PACKAGE_BUILD_DIR}/icons/${size}x${size}
            COMMAND ${MIRDA_RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
                    ${PROJECT_SOURCE_DIR}/src/ui/app/resources/logo.svg
            DEPENDS ${PROJECT_SOURCE_DIR}/src/ui/app/resources/logo.svg VERBATIM)
        list(APPEND iconOutputs ${png})
        install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(mirda_icons ALL DEPENDS ${iconOutputs})
else()
    message(WARNING "rsvg-convert (librsvg2-bin) not found: the package gets only the scalable icon")
endif()

set(docFiles ${MIRDA_PACKAGE_BUILD_DIR}/doc)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${docFiles}/changelog @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/mirda.1.in ${docFiles}/mirda.1 @ONLY)
add_custom_command(OUTPUT ${docFiles}/changelog.gz ${docFiles}/mirda.1.gz
    COMMAND gzip -9nkf ${docFiles}/changelog ${docFiles}/mirda.1
    DEPENDS ${docFiles}/changelog ${docFiles}/mirda.1 VERBATIM)
add_custom_target(mirda_package_docs ALL DEPENDS ${docFiles}/changelog.gz ${docFiles}/mirda.1.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${docFiles}/changelog.gz DESTINATION share/doc/mirda)
install(FILES ${docFiles}/mirda.1.gz DESTINATION share/man/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides DESTINATION share/lintian/overrides
        RENAME mirda)
# Resolve every symbol at start-up so that the relocations can be read-only (Debian's hardening).
target_link_options(mirda PRIVATE LINKER:-z,relro,-z,now)

# The package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mirda)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT ${MIRDA_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${MIRDA_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "people bingo for parties, with a Japanese user interface")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Mirda (ミルダ) runs a bingo game about people at a party or company event.
The organiser keeps a roster of up to 300 participants with photos and
favourite songs, prints bingo cards whose cells show participants, and
runs the draw on a big screen: song, introduction, photo, animated name.
The package brings a sample roster with photos and songs, and the manual.")
# What the program needs besides the libraries it links: the Japanese fonts its screens and cards
# name, GStreamer plugins for MP3, WAV, WMA and MP2 songs, Qt's platform and image plugins and
# Qt's own Japanese texts for the standard dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-image-formats-plugins, qt6-translations-l10n, \
gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-ugly, gstreamer1.0-libav, \
fonts-noto-cjk, fonts-ipafont")
include(CPack)
