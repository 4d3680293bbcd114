# Packages made by CPack from the install rules: "cpack" in the build folder
# makes a Debian package on Linux (cpack -G <generator> for another kind).

set(CPACK_PACKAGE_NAME morvesta)
set(CPACK_PACKAGE_VENDOR "Morvesta developers")
set(CPACK_PACKAGE_CONTACT "Morvesta developers")
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

if(UNIX AND NOT APPLE)
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Morvesta developers")
    set(CPACK_DEBIAN_PACKAGE_SECTION misc)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # Library dependencies come from dpkg-shlibdeps (the X11 platform plugin
    # ships with libqt6gui6); the fonts the windows ask for are found at run
    # time, so name them.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-urw-base35")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
elseif(WIN32)
    # An installer: the program under Program Files, a Start-menu shortcut
    # with the program's icon, an entry in the installed programs list and an
    # uninstaller. Made with makensis, which Debian packages too.
    set(CPACK_GENERATOR NSIS)
    set(CPACK_PACKAGE_FILE_NAME morvesta-${PROJECT_VERSION}-win64)
    set(CPACK_NSIS_DISPLAY_NAME Morvesta)
    set(CPACK_NSIS_PACKAGE_NAME Morvesta)
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Morvesta)
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    set(CPACK_PACKAGE_EXECUTABLES morvesta Morvesta)
    set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\morvesta.exe")
    set(CPACK_NSIS_MUI_ICON "${CMAKE_BINARY_DIR}/app/morvesta.ico")
    set(CPACK_NSIS_MUI_UNIICON "${CMAKE_BINARY_DIR}/app/morvesta.ico")
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
    set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
    # A 64-bit installer for a 64-bit program (the line goes into the
    # installer script's head).
    set(CPACK_NSIS_DEFINES "Target amd64-unicode")
else()
    set(CPACK_GENERATOR ZIP)
endif()

include(CPack)
