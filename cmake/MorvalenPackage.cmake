# The Debian package (CPack's DEB generator; scripts/package.sh builds it). Its dependencies
# are computed from the binaries by dpkg-shlibdeps; the ones no binary links are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvalen-desktop)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Morvalen Desktop developers")
set(CPACK_PACKAGE_CONTACT "Morvalen Desktop developers <packages@morvalen.example.org>"
    CACHE STRING "The package's maintainer, as Debian writes it")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalog of web applications that run in their own windows")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Morvalen Desktop brings an online catalog of web applications to the desktop:\n\
lists, categories, search, and details with screenshots and ratings. The web\n\
sites you install stay as tiles that open in the program's own tabbed browser\n\
windows, which can live in the tray, watch a page for changes and announce\n\
them.\n\
.\n\
The package also holds morvalen-tool, which checks, backs up and restores the\n\
program's files, and morvalen-catalog-server with a sample catalog and a\n\
systemd service for catalog operators.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The X11 platform plugin and the web engine's own process are loaded, not linked; so is
# libcurl (dlopen of libcurl.so.4, which dpkg-shlibdeps cannot see), without which no catalog
# file is ever fetched.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6webenginecore6-bin, libcurl4")
# The Wayland platform plugin, loaded in a Wayland session (without it Qt falls back to XWayland).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-dejavu-core, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian/postinst
    ${PROJECT_SOURCE_DIR}/packaging/debian/prerm
    ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_STRIP_FILES ON)
# Folders the package creates get the usual modes, whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
