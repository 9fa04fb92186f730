# The Debian package, built by CPack from the install rules: `cmake --build build --target
# package` (or `make package`) writes build/wirtualon_<version>_<architecture>.deb.
set(WIRTUALON_PACKAGE_MAINTAINER "The Wirtualon! developers <wirtualon@example.org>"
    CACHE STRING "Name and address in the Debian package's Maintainer field")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wirtualon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Folders made for the package get the usual 755 whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${WIRTUALON_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "ladder-logic editor and PLC simulator
Wirtualon! draws ladder-logic programs for programmable logic controllers on a
ten-column grid, checks them, translates them into an instruction list and a
numeric program and runs them in a simulated controller: an input and output
panel, a watch table, forcing, live power flow on the rungs, an MQTT link and a
Modbus TCP server. Its user interface and messages are Polish.
.
The command-line tool wirtualon-cli checks, lists, runs and tests programs
against scenario files without a display, for scripts and continuous
integration.")
# Run-time libraries as the linked binaries need them; Qt's own Polish texts are optional.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
