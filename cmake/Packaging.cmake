# The Debian package (scripts/package, or "cpack -G DEB" in the build folder): the files of
# the install rules under /usr, its dependencies found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME tessaline)
set(CPACK_PACKAGE_VENDOR "${TESSALINE_COMPANY_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "password manager that keeps secrets as cards")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The install step leaves the MIME and desktop caches to the package system's triggers.
set(CPACK_CUSTOM_INSTALL_VARIABLES "TESSALINE_PACKAGING=ON")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # tessaline_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TESSALINE_COMPANY_NAME} <author@quillmar.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tessaline.quillmar.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# The word list for passphrases.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "diceware")
# The browser commands start Chromium (and Firefox from the command line) when installed.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "chromium, firefox-esr | firefox")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "password manager that keeps secrets as cards\n"
    "Tessaline keeps logins, bank and card data, software keys and notes as cards in\n"
    "fifteen categories, in data files that are plain (.tsf) or enciphered under the\n"
    "user's password (.tse). It comes as a desktop program (tessaline) and a\n"
    "command-line program (tessaline-cli), and imports the CSV exports of KeePassXC,\n"
    "Chromium, Firefox and Bitwarden.")
include(CPack)
