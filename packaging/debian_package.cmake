# The Debian package that scripts/package.sh makes with CPack: the install
# tree under /usr, its dependencies computed from the programs by
# dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmere)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QUILLMERE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch picture converter")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quillmere converts folders of pictures at once. It reads BMP, ICO, WMF,
EMF, JPEG, PNG, GIF and TIFF files and writes each picture as BMP, JPEG,
PNG, GIF or TIFF beside its source, under the same name with the new
extension, logging every step.

The window fills its list from a file dialog, a folder and file-name
pattern, dropped files or the command line, previews any entry with zoom
and pan, and converts on every core while it stays usable. The
command-line front end quillmere-batch converts the same way for scripts.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILLMERE_WEB_PAGE})
# Qt finds its window-system plugins at run time, which no library
# dependency shows: the window needs the platform plugins. libtiff is
# loaded only when a TIFF file is read or written, by the soname the build
# found (libtiff.so.6 is Debian's libtiff6).
string(REGEX REPLACE "^lib([a-z]+)\\.so\\.([0-9]+)$" "lib\\1\\2" QUILLMERE_LIBTIFF_PACKAGE
       "${QUILLMERE_LIBTIFF_SONAME}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, ${QUILLMERE_LIBTIFF_PACKAGE}")
include(CPack)
