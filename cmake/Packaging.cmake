# The Debian package: both programs, help pages, man pages, the desktop entry,
# the MIME type of .qvd documents and the icons, installed under /usr.
#   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release
#   cmake --build build-release && (cd build-release && cpack -G DEB)
# The shared libraries the programs load decide Depends (dpkg-shlibdeps).
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrel RENAME copyright)

set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Tarnwick")
set(CPACK_PACKAGE_CONTACT "Tarnwick <vantrel@tarnwick.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for small animated GIFs")
set(CPACK_PACKAGE_DESCRIPTION
  "Vantrel GIF Animator composes animations for web pages: frames on one canvas, each a stack of bitmaps, anti-aliased text labels, boxes and ellipses with a duration and a background. It opens GIF files as animations, imports GIF, JPEG and PNG pictures, writes GIF89a files reduced to one palette and keeps its own editable .qvd documents. The command-line tool vantrel-cli does the same work without a display.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tarnwick.example/vantrel")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Labels asked in "Arial", "Times New Roman" or "Courier New" are drawn with
# the metric-compatible Liberation faces.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
