# Install layout for a desktop system and the Debian package made from it by CPack:
#   bin/horokata                          launcher script (finds lib/horokata beside it)
#   lib/horokata/                         the binary with its data files (installed by data/)
#   share/applications/horokata.desktop   menu entry
#   share/icons/hicolor/*/apps/           icons (installed by data/art/)
#   share/metainfo/<id>.metainfo.xml      AppStream description
#   share/doc/horokata/                   credits, the program's licence and the idiom lists' licence
#   share/man/man6/horokata.6.gz          manual page

set(HOROKATA_APPSTREAM_ID org.example.horokata)
set(HOROKATA_RELEASE_DATE 2026-12-08)
set(HOROKATA_LIB_DESTINATION lib/horokata)

install(TARGETS horokata RUNTIME DESTINATION ${HOROKATA_LIB_DESTINATION})
# The sound module sits beside the binary, where the game looks for it.
install(TARGETS horokata_sound LIBRARY DESTINATION ${HOROKATA_LIB_DESTINATION})

# The launcher reaches the binary from bin/ by a relative path.
set(HOROKATA_LAUNCHER_TARGET ../${HOROKATA_LIB_DESTINATION}/horokata)
configure_file(${CMAKE_CURRENT_LIST_DIR}/horokata.sh.in
               ${CMAKE_BINARY_DIR}/packaging/horokata @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/horokata DESTINATION bin)

install(FILES ${CMAKE_CURRENT_LIST_DIR}/horokata.desktop DESTINATION share/applications)

configure_file(${CMAKE_CURRENT_LIST_DIR}/metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${HOROKATA_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${HOROKATA_APPSTREAM_ID}.metainfo.xml
        DESTINATION share/metainfo)

install(FILES ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/data/CREDITS.txt ${CMAKE_SOURCE_DIR}/data/LICENSE-EDRDG.txt
        DESTINATION share/doc/horokata)

# The manual page, compressed as Debian ships manual pages (gzip -9n: no name, no date, so the
# same page gives the same bytes).
find_program(HOROKATA_GZIP gzip)
if(HOROKATA_GZIP)
    set(horokata_manpage ${CMAKE_BINARY_DIR}/packaging/horokata.6.gz)
    add_custom_command(OUTPUT ${horokata_manpage}
        COMMAND ${HOROKATA_GZIP} -9n -c ${CMAKE_CURRENT_LIST_DIR}/horokata.6 > ${horokata_manpage}
        DEPENDS ${CMAKE_CURRENT_LIST_DIR}/horokata.6
        COMMENT "Compressing the manual page")
    add_custom_target(horokata_manpage ALL DEPENDS ${horokata_manpage})
else()
    set(horokata_manpage ${CMAKE_CURRENT_LIST_DIR}/horokata.6)
endif()
install(FILES ${horokata_manpage} DESTINATION share/man/man6)

# ---------------------------------------------------------------- Debian package (cpack -G DEB)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME horokata)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Horokata developers")
set(CPACK_PACKAGE_CONTACT "Horokata developers <horokata@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "kanji idiom puzzle game")
set(CPACK_PACKAGE_DESCRIPTION
"A board of 80 kanji tiles hides twenty four-character idioms (yojijukugo).
Pick four tiles in reading order to spell one; three misses lose the board.
Four levels, from primary-school kanji to rare kanji; every found or revealed
idiom shows its kana reading and English meaning. The idiom lists, readings
and meanings come from the EDICT dictionary of the Electronic Dictionary
Research and Development Group, under CC BY-SA 4.0.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME horokata)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Horokata developers <horokata@example.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries the binary links come from dpkg-shlibdeps when it is there (dpkg-dev); the rest is
# what Qt loads at run time: the X11 platform plugin, the GStreamer elements behind sound,
# the SQLite driver behind the player's records, a font with Japanese glyphs, and Qt's own
# Japanese words for the standard dialogs.
set(horokata_runtime_depends qt6-qpa-plugins gstreamer1.0-plugins-base libqt6sql6-sqlite fonts-noto-cjk
    qt6-translations-l10n)
find_program(HOROKATA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(HOROKATA_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    list(PREPEND horokata_runtime_depends
         libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 libqt6sql6 libstdc++6 libc6)
endif()
list(JOIN horokata_runtime_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

include(CPack)
