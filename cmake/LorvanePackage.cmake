# The Debian package: cpack -G DEB in a build directory writes
# lorvane_<version>_amd64.deb from the install rules. The libraries it needs
# are worked out from the program itself; what the program reaches only at
# run time is named here.
set(CPACK_PACKAGE_NAME lorvane)
set(CPACK_PACKAGE_VENDOR "Lorvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "text editor for DOS code pages with a build-and-run cycle")
set(CPACK_PACKAGE_DESCRIPTION
  "Lorvane is a multiple-document text editor for programmers who build with\n\
DOS-era tool chains and write Cyrillic text in Windows-1251, code page 866\n\
and KOI8-R. It saves, compiles, links and runs the active file with the\n\
configured tools. Its user interface is in Russian.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Lorvane developers <lorvane@lorvane.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window system plugin, the toolkit's own Russian texts and the fonts
# the font map names are loaded at run time, where shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-dejavu-core")
# The tool chains the shipped profiles start, and the opener of the help page.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "nasm, dosbox, bcc, xdg-utils")
set(CPACK_GENERATOR DEB)
include(CPack)
