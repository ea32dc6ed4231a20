# The parts a user of the plug-in does not need: tests, benchmarks, fuzz
# targets. Each is a cache variable of ON, OFF or AUTO (the default). AUTO
# builds the part when this is the top-level project and everything it needs
# is found, and otherwise says what is missing and goes on without it; ON
# stops the configure when something is missing.
#
#   lcd_optional_part(LCD_BUILD_TESTS "the tests")
#   lcd_require(LCD_BUILD_TESTS GTest "libgtest-dev")      find_package(GTest)
#   lcd_need(LCD_BUILD_TESTS SOME_FOUND "what" "debian-package")
#   lcd_resolve_part(LCD_BUILD_TESTS)                      ON or OFF from here on
#
# These are macros: what find_package sets stays visible to the caller.

macro(lcd_optional_part part description)
  set(${part} AUTO CACHE STRING
    "Build ${description}: ON, OFF or AUTO (when top-level and their packages are found)")
  set_property(CACHE ${part} PROPERTY STRINGS AUTO ON OFF)
  set(_lcd_description_${part} "${description}")
  set(_lcd_missing_${part} "")
  string(TOUPPER "${${part}}" _lcd_value)
  if(_lcd_value STREQUAL "AUTO")
    if(NOT LCD_TOP_LEVEL)
      set(${part} OFF)
    endif()
  elseif(${part})
    set(${part} ON)
  else()
    set(${part} OFF)
  endif()
endmacro()

# Records `what` (Debian package `debian`) as missing for `part` unless the
# variable `found` is true.
macro(lcd_need part found what debian)
  if(${part} AND NOT ${found})
    list(APPEND _lcd_missing_${part} "${what} (Debian package ${debian})")
  endif()
endmacro()

macro(lcd_require part package debian)
  if(${part})
    find_package(${package} ${ARGN} QUIET)
    lcd_need(${part} ${package}_FOUND ${package} ${debian})
  endif()
endmacro()

# The fuzz targets need clang and its libFuzzer runtime.
macro(lcd_require_libfuzzer part)
  if(${part})
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
      set(LCD_HAVE_LIBFUZZER OFF)
      lcd_need(${part} LCD_HAVE_LIBFUZZER "clang as the compiler (CXX=clang++)" clang)
    else()
      include(CheckCXXSourceCompiles)
      set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer")
      set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=fuzzer")
      set(CMAKE_REQUIRED_QUIET ON)
      check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }
]] LCD_HAVE_LIBFUZZER)
      unset(CMAKE_REQUIRED_FLAGS)
      unset(CMAKE_REQUIRED_LINK_OPTIONS)
      unset(CMAKE_REQUIRED_QUIET)
      string(REGEX MATCH "^[0-9]+" _lcd_clang_major "${CMAKE_CXX_COMPILER_VERSION}")
      lcd_need(${part} LCD_HAVE_LIBFUZZER "clang's libFuzzer runtime"
               "libclang-rt-${_lcd_clang_major}-dev")
    endif()
  endif()
endmacro()

macro(lcd_resolve_part part)
  if(_lcd_missing_${part})
    list(JOIN _lcd_missing_${part} ", " _lcd_list)
    if(${part} STREQUAL "ON")
      message(FATAL_ERROR "${part} is ON, but ${_lcd_description_${part}} need ${_lcd_list}")
    endif()
    message(STATUS "${_lcd_description_${part}} are not built: missing ${_lcd_list}")
    set(${part} OFF)
  elseif(${part})
    set(${part} ON)
  endif()
endmacro()
