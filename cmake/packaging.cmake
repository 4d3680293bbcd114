# Packages made by CPack from the install rules: "cpack" in the build folder
# makes a Debian package on Linux (cpack -G <generator> for another kind).

# Whoever packages the program puts their own name and address here.
set(MORVESTA_MAINTAINER "The Morvesta developers <morvesta@example.org>" CACHE STRING
    "Maintainer of the packages: name <address>")
if(NOT MORVESTA_MAINTAINER MATCHES "^[^<>]+ <[^<> ]+@[^<> ]+>$")
    message(FATAL_ERROR "MORVESTA_MAINTAINER is '${MORVESTA_MAINTAINER}', not 'Name <address>'")
endif()

set(CPACK_PACKAGE_NAME morvesta)
set(CPACK_PACKAGE_VENDOR "Morvesta developers")
set(CPACK_PACKAGE_CONTACT "${MORVESTA_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# One paragraph, wrapped as Debian control files are.
set(CPACK_PACKAGE_DESCRIPTION [[
Morvesta takes orders at the counter of a pizzeria: whole, half-and-half
or thirds pizzas from a menu of five flavours, payment in cash, by cheque
or by card, and a summary of the order with its total. The screens are in
Brazilian Portuguese.]])
set(CPACK_PACKAGE_INSTALL_DIRECTORY Morvesta)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
# Read by cpack: the packages' file times are the commit's.
set(CPACK_MORVESTA_SOURCE_DATE_EPOCH "${MORVESTA_SOURCE_DATE_EPOCH}")
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/cpack-options.cmake")

include(GNUInstallDirs)
if(UNIX AND NOT APPLE)
    # What Debian asks of a package beyond the program: its copyright in the
    # machine-readable format, its changelog and manual page compressed
    # without a file name or time, and the metainfo software centres list.
    set(packaging_dir ${PROJECT_BINARY_DIR}/packaging)
    file(STRINGS packaging/changelog changelog_head LIMIT_COUNT 1)
    if(NOT changelog_head MATCHES "^morvesta \\(${PROJECT_VERSION}\\) ")
        message(FATAL_ERROR "packaging/changelog starts with '${changelog_head}', "
                "not an entry for version ${PROJECT_VERSION}")
    endif()
    # The licence as a copyright file's paragraph: from its permission notice
    # on, each line indented, empty lines as " .".
    file(READ LICENSE licence)
    string(REGEX REPLACE "^.*\n(Permission is hereby granted)" "\\1" licence "${licence}")
    string(REGEX REPLACE "\n+$" "" licence "${licence}")
    string(REPLACE "\n\n" "\n.\n" licence "${licence}")
    string(REPLACE "\n" "\n " licence "${licence}")
    set(MORVESTA_LICENSE_PARAGRAPH " ${licence}")
    set(MORVESTA_APPSTREAM_ID org.morvesta.morvesta)
    configure_file(packaging/copyright.in ${packaging_dir}/copyright @ONLY)
    configure_file(packaging/changelog ${packaging_dir}/changelog COPYONLY)
    configure_file(packaging/morvesta.1.in ${packaging_dir}/morvesta.1 @ONLY)
    configure_file(packaging/morvesta.metainfo.xml.in
                   ${packaging_dir}/${MORVESTA_APPSTREAM_ID}.metainfo.xml @ONLY)
    add_custom_command(
        OUTPUT ${packaging_dir}/changelog.gz ${packaging_dir}/morvesta.1.gz
        COMMAND gzip -9nkf changelog morvesta.1
        DEPENDS ${packaging_dir}/changelog ${packaging_dir}/morvesta.1
        WORKING_DIRECTORY ${packaging_dir}
        COMMENT "Compressing the changelog and the manual page"
        VERBATIM)
    add_custom_target(morvesta_package_docs ALL
        DEPENDS ${packaging_dir}/changelog.gz ${packaging_dir}/morvesta.1.gz)
    install(FILES ${packaging_dir}/copyright ${packaging_dir}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/morvesta)
    install(FILES ${packaging_dir}/morvesta.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${packaging_dir}/${MORVESTA_APPSTREAM_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MORVESTA_MAINTAINER}")
    set(CPACK_DEBIAN_PACKAGE_SECTION misc)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # Library dependencies come from dpkg-shlibdeps (the X11 platform plugin
    # ships with libqt6gui6); the fonts the windows ask for are found at run
    # time, so name them.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-urw-base35")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    # The package's folders and the archive's members with fixed modes,
    # whatever the umask.
    set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/deb-staged-modes.cmake")
    set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/deb-member-modes.cmake")
elseif(WIN32)
    # An installer: the program under Program Files with its licence and the
    # third-party notices, a Start-menu shortcut, an entry in the installed
    # programs list and an uninstaller. Made with makensis, which Debian
    # packages too, from windows/NSIS.template.in, with the exit codes of
    # windows/installer-exit-codes.
    set(CPACK_GENERATOR NSIS)
    list(APPEND CMAKE_MODULE_PATH "${PROJECT_SOURCE_DIR}/windows")
    file(STRINGS "${PROJECT_SOURCE_DIR}/windows/installer-exit-codes" exit_codes REGEX "^EXIT_")
    foreach(line IN LISTS exit_codes)
        string(REGEX MATCH "^(EXIT_[A-Z_]+)=([0-9]+)" code "${line}")
        set(CPACK_MORVESTA_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
    endforeach()
    set(CPACK_PACKAGE_FILE_NAME morvesta-${PROJECT_VERSION}-win64)
    set(CPACK_NSIS_DISPLAY_NAME Morvesta)
    set(CPACK_NSIS_PACKAGE_NAME Morvesta)
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Morvesta)
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\morvesta.exe")
    set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/app/icons/morvesta.ico")
    set(CPACK_NSIS_MUI_UNIICON "${PROJECT_SOURCE_DIR}/app/icons/morvesta.ico")
    set(CPACK_MORVESTA_RUNNING_MUTEX "${MORVESTA_RUNNING_MUTEX}")
    install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)

    # Signing (windows/build.sh, windows/sign.sh): these, or the environment
    # variables of the same names, which win. The password never goes into
    # the cache: MORVESTA_SIGN_PASSWORD in the environment, or a file.
    set(MORVESTA_SIGN_PKCS12 "" CACHE FILEPATH "PKCS#12 file with the code-signing key and certificates")
    set(MORVESTA_SIGN_PASSWORD_FILE "" CACHE FILEPATH "File holding the PKCS#12 password or PKCS#11 PIN")
    set(MORVESTA_SIGN_PKCS11_MODULE "" CACHE FILEPATH "PKCS#11 module of the token holding the key")
    set(MORVESTA_SIGN_PKCS11_KEY "" CACHE STRING "PKCS#11 id or URI of the code-signing key")
    set(MORVESTA_SIGN_CERTS "" CACHE FILEPATH "Certificate chain (PEM) of a PKCS#11 key")
    set(MORVESTA_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server (optional)")
    set(CPACK_MORVESTA_SIGN_SCRIPT "${PROJECT_SOURCE_DIR}/windows/sign.sh")
    # The installer takes the program as released, signed when it is.
    set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/windows/sign-staged.cmake")
else()
    set(CPACK_GENERATOR ZIP)
endif()

include(CPack)
