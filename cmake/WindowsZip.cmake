# The download for Windows: fdpreserve-VERSION-win64.zip, made by CPack's ZIP generator over the
# MinGW-w64 cross build (cmake --build build-win --target package). Unpacked, it is one folder
# that needs nothing installed:
#   fdpreserve.exe, fdexplain.exe       statically linked, no DLL beyond Windows's own
#   README.md, LICENSE.txt, CHANGELOG.md
#   examples/*.txt
#   doc/fdpreserve.html, doc/fdexplain.html   the manual pages, as Windows has no man
include(cmake/ManualPages.cmake)

install(TARGETS fdpreserve fdexplain RUNTIME DESTINATION .)
install(FILES README.md CHANGELOG.md DESTINATION .)
# Without an extension Windows knows no program to open it with.
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
install(DIRECTORY examples/ DESTINATION examples)
fdpreserve_add_manual_page(doc/fdpreserve.1)
fdpreserve_add_manual_page(doc/fdexplain.1)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME fdpreserve)
set(CPACK_PACKAGE_VENDOR "the fdpreserve developers")
set(CPACK_PACKAGE_FILE_NAME "fdpreserve-${PROJECT_VERSION}-win64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
