# The folders an install uses (GNUInstallDirs, any prefix). The program finds its helper
# programs and its data relative to its own folder (platform/InstallLayout), so these are
# compiled in; packaging/ installs into them.
# The documents go where Debian looks for a package's documents (its name, not the project's).
set(CMAKE_INSTALL_DOCDIR "share/doc/morvalen-desktop" CACHE PATH "Documentation (DATAROOTDIR/doc/morvalen-desktop)")
include(GNUInstallDirs)

# Helper programs are started by the program only, so they live in a folder of their own
# under libexec, not on the PATH.
set(MORVALEN_HELPER_INSTALL_DIR "${CMAKE_INSTALL_LIBEXECDIR}/morvalen-desktop")
# Modules the program loads itself (not libraries others link): a folder of their own under
# the library folder.
set(MORVALEN_MODULE_INSTALL_DIR "${CMAKE_INSTALL_LIBDIR}/morvalen-desktop")
# Read-only data: the sample catalog.
set(MORVALEN_DATA_INSTALL_DIR "${CMAKE_INSTALL_DATADIR}/morvalen-desktop")

foreach(kind HELPER MODULE DATA)
    if(IS_ABSOLUTE "${MORVALEN_${kind}_INSTALL_DIR}")
        set(MORVALEN_INSTALL_FULL_${kind}DIR "${MORVALEN_${kind}_INSTALL_DIR}")
    else()
        set(MORVALEN_INSTALL_FULL_${kind}DIR "${CMAKE_INSTALL_PREFIX}/${MORVALEN_${kind}_INSTALL_DIR}")
    endif()
endforeach()
