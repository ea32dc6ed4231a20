# Debian packages of the four install components (cmake/LcdInstall.cmake),
# made by CPack. They install into CMAKE_INSTALL_PREFIX, which for Debian's
# layout (lib/<multiarch>/) is /usr, as the package and aarch64 presets have it:
#
#   liblayerimagequalitymodel1     runtime: the plug-in alone; depends on the
#                                  communicator through the virtual package
#                                  LCD_DEB_COMMUNICATOR, which the host's own
#                                  communicator package provides on the device
#   lcdhost-standins               standins: liblcdcommunicator.so.1 and
#                                  liblcdframework.so.1 in lib/<arch>/lcdhost/,
#                                  outside the loader's path; provides
#                                  LCD_DEB_COMMUNICATOR for lcdhost's sake
#   liblayerimagequalitymodel-dev  development: headers, CMake package, .pc
#   lcdhost-tools                  tools: lcdhost, lcd-device-sim and lcdpanel,
#                                  their manual pages and bash completion
#
#   cpack --config <build>/CPackConfig.cmake      (scripts/package does it)
#
# The packages land in <build>/packages/. Library dependencies come from
# dpkg-shlibdeps, the dependencies between the packages from the components.

set(LCD_DEB_MAINTAINER "the layerimagequalitymodel authors <authors@layerimagequalitymodel.invalid>")
set(LCD_DEB_RUNTIME liblayerimagequalitymodel1)
set(LCD_DEB_STANDINS lcdhost-standins)
set(LCD_DEB_DEVELOPMENT liblayerimagequalitymodel-dev)
set(LCD_DEB_TOOLS lcdhost-tools)
# What the plug-in needs in its process: a liblcdcommunicator.so.1 of this
# interface. docs/building-for-the-device.md tells the host's packagers.
set(LCD_DEB_COMMUNICATOR lcd-communicator-abi-1)

# The Debian architecture of what is built: the host's, unless cross-built.
if(CMAKE_CROSSCOMPILING)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
  elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|amd64)$")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  else()
    message(STATUS "packages: no Debian architecture known for ${CMAKE_SYSTEM_PROCESSOR}")
  endif()
endif()

# Every package carries the licence and a changelog in /usr/share/doc/NAME/,
# dated on the release's day (cmake/LcdRelease.cmake).
execute_process(COMMAND date -u -R -d "${LCD_RELEASE_DAY} 12:00"
  OUTPUT_VARIABLE LCD_RELEASE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
# The copyright line and the licence's own text, from LICENSE.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE LCD_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright (\\(c\\) )?" "" LCD_COPYRIGHT "${LCD_COPYRIGHT}")
file(READ ${PROJECT_SOURCE_DIR}/LICENSE lcd_license)
string(FIND "${lcd_license}" "Permission is hereby granted" lcd_start)
string(SUBSTRING "${lcd_license}" ${lcd_start} -1 lcd_license)
string(STRIP "${lcd_license}" lcd_license)
# In a Debian control-style field, every line of the text starts with a
# blank and an empty line is a lone dot.
string(REGEX REPLACE "\n\n" "\n.\n" lcd_license "${lcd_license}")
string(REGEX REPLACE "\n" "\n " LCD_LICENSE_FIELD "${lcd_license}")

set(lcd_docs ${PROJECT_BINARY_DIR}/package/debian)
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/copyright.in ${lcd_docs}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in ${lcd_docs}/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${lcd_docs}/changelog COMMAND_ERROR_IS_FATAL ANY)
foreach(component runtime standins development tools)
  string(TOUPPER ${component} upper)
  install(FILES ${lcd_docs}/copyright ${lcd_docs}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${LCD_DEB_${upper}}
    COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the layerimagequalitymodel authors")
set(CPACK_PACKAGE_CONTACT ${LCD_DEB_MAINTAINER})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL runtime standins development tools)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${LCD_DEB_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The plug-in and the programs need the stand-ins, which are not installed
# here: dpkg-shlibdeps finds them in the build tree, and the dependencies on
# their package come from the components and the virtual package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
# No package puts a library where the loader looks: no shlibs file, and no
# ldconfig in the maintainer scripts.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${LCD_DEB_RUNTIME})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS ${LCD_DEB_COMMUNICATOR})
set(CPACK_DEBIAN_STANDINS_PACKAGE_NAME ${LCD_DEB_STANDINS})
set(CPACK_DEBIAN_STANDINS_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_STANDINS_PACKAGE_PROVIDES ${LCD_DEB_COMMUNICATOR})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${LCD_DEB_DEVELOPMENT})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME ${LCD_DEB_TOOLS})
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)

include(CPack)

cpack_add_component(runtime
  DISPLAY_NAME "plug-in"
  DESCRIPTION "layer image-quality model plug-in for the LCD processor's host
The plug-in liblayerimagequalitymodel.so.1 is loaded by the host application
that drives an LCD display processor over its REST interface. It sets the
image quality of display layers on the device and passes on the changes the
device reports.
.
It uses the communicator library (liblcdcommunicator.so.1) of the process
that loads it: the host's own on the device.")
cpack_add_component(standins
  DISPLAY_NAME "stand-in host framework and communicator"
  DESCRIPTION "stand-in host libraries for the layer image-quality plug-in
The stand-in host framework (liblcdframework.so.1) and communicator
(liblcdcommunicator.so.1) that run the layer image-quality plug-in outside
the real host, for lcdhost, lcdpanel and hosts of one's own.
.
They are installed in a directory of their own, outside the loader's path,
so that they never shadow the libraries of a host installed beside them.")
cpack_add_component(development
  DISPLAY_NAME "development files"
  DEPENDS runtime standins
  DESCRIPTION "layer image-quality model plug-in: development files
The layer records, the message ids, the REST endpoint constants, the
header-only JSON codec and the host interfaces that the host application's
components share with the layer image-quality plug-in, with the headers of
the stand-in host framework and communicator.
.
CMake: find_package(LayerImageQuality CONFIG), targets lcd::protocol,
lcd::host, lcd::framework and lcd::communicator. pkg-config:
layerimagequality.")
cpack_add_component(tools
  DISPLAY_NAME "lcdhost, lcdpanel and the device simulator"
  DEPENDS runtime standins
  DESCRIPTION "stand-in host and device simulator for the layer image-quality plug-in
lcdhost loads the layer image-quality plug-in into a stand-in host, connects
it to a device and sends it set requests or shows what the device reports.
lcdpanel does the same for a person: sliders for each layer's settings, the
device's answers and its changes as they happen, and the simulator's picture
of the layer. lcd-device-sim serves the device's REST interface on loopback,
for trying the plug-in without a device.")
