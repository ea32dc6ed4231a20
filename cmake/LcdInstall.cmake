# Where things go when installed, and the install rules that say so. Three
# install components, one Debian package each (cmake/LcdPackaging.cmake):
#
#   runtime      the plug-in, the communicator and framework libraries
#   development  the headers, the CMake package LayerImageQuality, the .pc
#                file and the libraries' link names
#   tools        lcdhost, lcdpanel and the device simulator
#
# Installed binaries find the libraries through RUNPATHs relative to
# themselves ($ORIGIN), so an installed tree runs wherever it is unpacked.

set(LCD_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/layerimagequality)
set(LCD_INSTALL_PLUGINDIR ${CMAKE_INSTALL_LIBDIR}/lcdhost/plugins)
set(LCD_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/LayerImageQuality)
set(LCD_EXPORT LayerImageQualityTargets)

# The plug-in directory as lcdhost sees it from its own directory.
file(RELATIVE_PATH LCD_PLUGINDIR_FROM_BINDIR
  ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${LCD_INSTALL_PLUGINDIR})

# lcd_install_rpath(<target> <installed directory of the target>): a RUNPATH
# that finds our libraries both installed and in the build tree (lib/ there),
# so the built binary is installed as it is. (Rewritten at install instead,
# CMake would give the built one a trailing empty entry, which the loader
# reads as the current directory.)
function(lcd_install_rpath target dir)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(built ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  else()
    set(built ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
  endif()
  set(rpath "")
  foreach(pair "${CMAKE_INSTALL_PREFIX}/${dir}|${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}"
               "${built}|${CMAKE_LIBRARY_OUTPUT_DIRECTORY}")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 from)
    list(GET pair 1 to)
    file(RELATIVE_PATH rel ${from} ${to})
    string(REGEX REPLACE "/$" "" rel "${rel}")
    if(rel STREQUAL "")
      list(APPEND rpath "$ORIGIN")
    else()
      list(APPEND rpath "$ORIGIN/${rel}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES rpath)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "${rpath}" BUILD_WITH_INSTALL_RPATH ON)
endfunction()

# lcd_install_headers(<directory under the include root> <file>...)
function(lcd_install_headers dir)
  install(FILES ${ARGN} DESTINATION ${LCD_INSTALL_INCLUDEDIR}/${dir} COMPONENT development)
endfunction()

# lcd_install_library(<target> <name>): a library of the CMake package, as
# lcd::<name>; a shared one with its SONAME link in runtime.
function(lcd_install_library target name)
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
  install(TARGETS ${target} EXPORT ${LCD_EXPORT}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
    INCLUDES DESTINATION ${LCD_INSTALL_INCLUDEDIR})
endfunction()

# The plug-in: loaded by name from its own directory, never linked against,
# so without a link name.
function(lcd_install_plugin target)
  lcd_install_rpath(${target} ${LCD_INSTALL_PLUGINDIR})
  get_target_property(name ${target} OUTPUT_NAME)
  get_target_property(soversion ${target} SOVERSION)
  set_property(GLOBAL PROPERTY LCD_PLUGIN_FILE_NAME
    ${CMAKE_SHARED_LIBRARY_PREFIX}${name}${CMAKE_SHARED_LIBRARY_SUFFIX}.${soversion})
  install(TARGETS ${target}
    LIBRARY DESTINATION ${LCD_INSTALL_PLUGINDIR} COMPONENT runtime NAMELINK_SKIP)
endfunction()

# lcd_install_tools(<target>...): the programs of the tools package. A tool
# whose part is switched off (the simulator) is left out with a word.
function(lcd_install_tools)
  foreach(target IN LISTS ARGN)
    if(NOT TARGET ${target})
      message(STATUS "not installed: ${target} (not built)")
      continue()
    endif()
    lcd_install_rpath(${target} ${CMAKE_INSTALL_BINDIR})
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
  endforeach()
endfunction()

# The CMake package LayerImageQuality (targets, version, the plug-in's path)
# and the pkg-config file of the headers.
function(lcd_install_package)
  include(CMakePackageConfigHelpers)
  set(dir ${PROJECT_BINARY_DIR}/package)
  get_property(LCD_PLUGIN_FILE_NAME GLOBAL PROPERTY LCD_PLUGIN_FILE_NAME)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/LayerImageQualityConfig.cmake.in
    ${dir}/LayerImageQualityConfig.cmake
    INSTALL_DESTINATION ${LCD_INSTALL_CMAKEDIR}
    PATH_VARS LCD_INSTALL_PLUGINDIR)
  # 0.x: a new minor version may change the interfaces.
  write_basic_package_version_file(${dir}/LayerImageQualityConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
  install(FILES ${dir}/LayerImageQualityConfig.cmake ${dir}/LayerImageQualityConfigVersion.cmake
    DESTINATION ${LCD_INSTALL_CMAKEDIR} COMPONENT development)
  install(EXPORT ${LCD_EXPORT} NAMESPACE lcd:: DESTINATION ${LCD_INSTALL_CMAKEDIR}
    COMPONENT development)

  # The prefix is found from the .pc file's own place, so that an installed
  # tree can move like its binaries.
  file(RELATIVE_PATH LCD_PC_PREFIX_FROM_PCFILEDIR
    /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
  string(REGEX REPLACE "/$" "" LCD_PC_PREFIX_FROM_PCFILEDIR "${LCD_PC_PREFIX_FROM_PCFILEDIR}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/layerimagequality.pc.in
    ${dir}/layerimagequality.pc @ONLY)
  install(FILES ${dir}/layerimagequality.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
    COMPONENT development)
endfunction()
