# `make package`: a Debian package (CPack's DEB generator) of what `make install` installs,
# placed under /usr. Its dependencies are computed by dpkg-shlibdeps from the libraries the
# program and its windows module link. The desktop finds the map types, the desktop entry and the
# icons through the triggers of shared-mime-info, desktop-file-utils and the icon theme, which
# run when the package's files land in their folders; no maintainer scripts are needed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kartwerk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "${KARTWERK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KARTWERK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A tool for a game's maps, not a game: "games" is for packages that bring one (/usr/games).
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The game and its editor run under Wine; the shell completion the package installs is loaded by
# bash-completion, without which `kartwerk con<TAB>` does nothing.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine, bash-completion")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts compiled Vornmark II maps back into editor source")
# The extended description; the summary above is its first line.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Vornmark II ships its maps only in compiled form (.qdm, .qdp and .qdc files).\n"
    "Kartwerk takes such a map apart and writes it back, byte for byte, as source\n"
    "into one of the map editor's slots. It opens maps from the file manager, has\n"
    "a map browser, and converts on the command line. It finds the game in Wine\n"
    "prefixes, including those of Proton, Lutris and Bottles.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
