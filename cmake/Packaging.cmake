# The Debian package: `make deb` runs CPack on the Release build.
#
# The dependencies are listed by hand rather than worked out by dpkg-shlibdeps, so that a
# machine without dpkg-dev can build the package and the Depends line does not change with
# whatever happens to be installed on the build machine. tests/packaging/check_deb.sh fails
# the build when the program links a library that no listed package provides.
include(GNUInstallDirs)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnoset)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Kestrane)
set(CPACK_PACKAGE_CONTACT "Kestrane <varnoset@kestrane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tray-resident screen capture and printing utility")
# The extended description, one line of the control file a line (at most 80 characters).
set(CPACK_PACKAGE_DESCRIPTION [[
Varnoset waits in the system tray for a global hotkey, PrintScreen by default.
One key press captures the whole screen, the active window or a rectangle
dragged out with the mouse; the picture is printed at once or shown in a
dialog where it can be adjusted (grey, inverted, mirrored, colours swapped,
a frame, colour channels, brightness, contrast, 16 or 256 colours), printed
with up to three footer lines, saved as BMP, JPEG or PNG, copied to the
clipboard or opened in a picture editor. Every capture can also be saved
into a folder under a name pattern.

A command line lets the desktop's own keyboard shortcuts call the running
copy. In a Wayland session Varnoset runs as a native Wayland program: the
screen through the desktop's screenshot portal, the hotkey as a shortcut of
the desktop bound to the command line.]])
set(CPACK_PACKAGE_HOMEPAGE_URL https://github.com/varnoset/varnoset)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Control files (md5sums) get the modes dpkg expects, whatever the builder's umask.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Directories the package creates are world-readable whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kestrane <varnoset@kestrane.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)

# The libraries the program links, the platform plugins Qt loads for X11 and Wayland, the ones it
# opens when first needed (GIO at the first editor hand-off, libcanberra at the first capture
# sound, and the sound backend libcanberra loads), and the fonts of the printed footer.
set(VARNOSET_DEB_DEPENDS
  "libc6 (>= 2.34)"
  "libgcc-s1"
  "libstdc++6 (>= 12)"
  "libqt6core6 (>= 6.4)"
  "libqt6gui6 (>= 6.4)"
  "libqt6widgets6 (>= 6.4)"
  "libqt6printsupport6 (>= 6.4)"
  "libqt6dbus6 (>= 6.4)"
  "qt6-qpa-plugins"
  "qt6-wayland"
  "libjpeg62-turbo (>= 1:2.0)"
  "libpng16-16 (>= 1.6)"
  "libxcb1"
  "libxcb-keysyms1"
  "libxcb-shm0"
  "libxcb-xinput0"
  "libcanberra0"
  "libcanberra-pulse"
  "libglib2.0-0"
  "fonts-liberation"
)
list(JOIN VARNOSET_DEB_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

include(CPack)
