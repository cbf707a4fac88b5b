# The release package of the Windows builds: tarrow-launcher-<version>-win64.zip
# holding, at its root, the launcher, the demo updater (an example updater),
# the brand tool (tarrow-brand.exe), the README and the licences. The version
# is the project version alone: it names the file and fills the executable's
# version block (resources/); the README's "Version:" line says the same
# number, which the release test checks. scripts/package makes the release:
# it strips through CPack, brands the launcher when asked, fixes dates and
# order, and writes the checksums.
if(NOT WIN32)
  return()
endif()

# Configured all the same, so a placeholder there would show the number.
configure_file(${PROJECT_SOURCE_DIR}/README.md ${PROJECT_BINARY_DIR}/release/README.md @ONLY)

# What scripts/package puts into the bill of materials besides what it reads
# from the executable and the installed packages: the project's own names
# and the compiler whose runtime is linked in.
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/release/product.json @ONLY CONTENT [[{
  "name": "tarrow-launcher",
  "product": "@TARROW_PRODUCT_NAME@",
  "description": "@PROJECT_DESCRIPTION@",
  "version": "@PROJECT_VERSION@",
  "supplier": "@TARROW_COMPANY_NAME@",
  "copyright": "@TARROW_COPYRIGHT@",
  "license": "MIT",
  "compiler": "@CMAKE_CXX_COMPILER@"
}
]])

install(TARGETS tarrow-launcher demo-updater tarrow-brand RUNTIME DESTINATION .)
install(FILES
  ${PROJECT_BINARY_DIR}/release/README.md
  ${PROJECT_SOURCE_DIR}/LICENSE
  ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES.txt
  DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PACKAGE_NAME tarrow-launcher)
set(CPACK_PACKAGE_VENDOR "${TARROW_COMPANY_NAME}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tarrow-launcher-${PROJECT_VERSION}-win64)
# The files sit at the root of the archive: unpacked, they land beside the
# product's updater.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# Strips the executables in CPack's staging folder (the build tree keeps its
# symbols). The strip stamps the PE header with SOURCE_DATE_EPOCH when set.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/cpack)
include(CPack)
