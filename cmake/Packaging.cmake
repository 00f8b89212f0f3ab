# What `cmake --install` puts where, and the Debian package CPack makes of it
# (scripts/package). The program is started by the practice application, so its desktop
# entry stays out of the menus: it gives the running window its name and icon.
include(GNUInstallDirs)

install(TARGETS scrivo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/scrivo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/scrivo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS SCRIVO_ICON_SIZES)
    install(FILES resources/icons/scrivo-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME scrivo.png)
endforeach()

# Debian wants its manual pages and change log compressed, reproducibly (a package of
# its own making, "native", has changelog.gz).
set(doc_build ${CMAKE_BINARY_DIR}/package-doc)
file(MAKE_DIRECTORY ${doc_build})
add_custom_command(OUTPUT ${doc_build}/scrivo.1.gz ${doc_build}/changelog.gz
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/resources/scrivo.1 > ${doc_build}/scrivo.1.gz
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/resources/debian/changelog > ${doc_build}/changelog.gz
    DEPENDS resources/scrivo.1 resources/debian/changelog
    COMMENT "Compressing the manual page and the change log")
add_custom_target(scrivo_package_doc ALL DEPENDS ${doc_build}/scrivo.1.gz ${doc_build}/changelog.gz)
# A build of the program alone (scripts/demo's) installs too.
add_dependencies(scrivo scrivo_package_doc)
install(FILES ${doc_build}/scrivo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/scrivo)
install(FILES README.md resources/debian/copyright DESTINATION ${doc_dir})
install(FILES ${doc_build}/changelog.gz DESTINATION ${doc_dir})
install(FILES resources/examples/registry-firebird-embedded.reg resources/examples/registry-mysql.reg
    DESTINATION ${doc_dir}/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME scrivo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Équipe Scrivo <scrivo@keldar.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xdg-open opens a document when the workstation names no word processor.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "merge code insertion beside a word processor
Scrivo is started by the Talvor practice application beside a word processor
while a letter or a prescription template is written. It offers the merge
codes by category (patient identity, questionnaires, antecedents,
prescriptions, doctors, correspondents, PMSI, template variables...), several
read from the practice's Firebird or MySQL database, and types the chosen code
into the document. It reads its configuration and writes nothing.

Scrivo est lancé par l'application du cabinet Talvor à côté du traitement de
texte pendant la rédaction d'un modèle de courrier ou d'ordonnance. Il propose
les codes de fusion par catégorie (signalétique, questionnaires, antécédents,
ordonnance, médecins, correspondants, PMSI, variables du modèle...), dont
plusieurs sont lus dans la base Firebird ou MySQL du cabinet, et tape le code
choisi dans le document. Il lit sa configuration et n'écrit rien.")
include(CPack)
