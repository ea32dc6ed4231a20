# cpp-httplib, for the simulator and the tests' own servers: lcd::httplib,
# with LCD_HTTPLIB_FOUND. Debian packages it as a compiled library with a
# pkg-config file and no CMake package; a CMake package is preferred where
# one exists.
find_package(httplib CONFIG QUIET)
if(TARGET httplib::httplib)
  add_library(lcd::httplib ALIAS httplib::httplib)
else()
  find_package(PkgConfig QUIET)
  if(PKG_CONFIG_FOUND)
    pkg_check_modules(LCD_CPPHTTPLIB QUIET IMPORTED_TARGET cpp-httplib)
  endif()
  if(TARGET PkgConfig::LCD_CPPHTTPLIB)
    add_library(lcd::httplib ALIAS PkgConfig::LCD_CPPHTTPLIB)
  endif()
endif()
if(TARGET lcd::httplib)
  set(LCD_HTTPLIB_FOUND ON)
else()
  set(LCD_HTTPLIB_FOUND OFF)
endif()
