# Where things go when installed, and the install rules that say so. Four
# install components, one Debian package each (cmake/LcdPackaging.cmake):
#
#   runtime      the plug-in alone, in LCD_PLUGIN_DIR
#   standins     the stand-in communicator and framework libraries, in
#                lcdhost's own directory (LCD_INSTALL_STANDINDIR), never in
#                the loader's: on the device the host's communicator has the
#                same SONAME and must not be shadowed
#   development  the headers, the CMake package LayerImageQuality, the .pc
#                file and the stand-ins' link names
#   tools        lcdhost, lcdpanel and the device simulator, with their
#                manual pages and bash completion
#
# Installed programs find the stand-ins through RUNPATHs relative to
# themselves ($ORIGIN), so an installed tree runs wherever it is unpacked.
# The installed plug-in has no RUNPATH: it takes liblcdcommunicator.so.1
# from the process that loads it (the host's own, or the stand-in that
# lcdhost is linked with), never from a directory of ours.

set(LCD_PLUGIN_DIR ${CMAKE_INSTALL_LIBDIR}/lcdhost/plugins CACHE PATH
  "Where the plug-in is installed (relative: under the install prefix); the host's plug-in directory on the device")
set(LCD_INSTALL_STANDINDIR ${CMAKE_INSTALL_LIBDIR}/lcdhost)
set(LCD_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/layerimagequality)
set(LCD_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/LayerImageQuality)
set(LCD_EXPORT LayerImageQualityTargets)
include(LcdToolDocs)

# The plug-in directory as lcdhost looks for it: seen from its own directory
# when under the prefix, so that the tree can move; else as it is.
if(IS_ABSOLUTE "${LCD_PLUGIN_DIR}")
  set(LCD_PLUGIN_FULL_DIR ${LCD_PLUGIN_DIR})
  set(LCD_PLUGINDIR_FROM_BINDIR ${LCD_PLUGIN_DIR})
else()
  set(LCD_PLUGIN_FULL_DIR ${CMAKE_INSTALL_PREFIX}/${LCD_PLUGIN_DIR})
  file(RELATIVE_PATH LCD_PLUGINDIR_FROM_BINDIR
    ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${LCD_PLUGIN_FULL_DIR})
endif()
# ... and in the build tree, where the plug-in is in lib/ beside bin/.
file(RELATIVE_PATH LCD_BUILD_PLUGINDIR_FROM_BINDIR
  ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})

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
  foreach(pair "${CMAKE_INSTALL_PREFIX}/${dir}|${CMAKE_INSTALL_PREFIX}/${LCD_INSTALL_STANDINDIR}"
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
# lcd::<name>; a shared one is a stand-in, with its SONAME link in standins.
function(lcd_install_library target name)
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
  install(TARGETS ${target} EXPORT ${LCD_EXPORT}
    LIBRARY DESTINATION ${LCD_INSTALL_STANDINDIR} COMPONENT standins NAMELINK_COMPONENT development
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
    INCLUDES DESTINATION ${LCD_INSTALL_INCLUDEDIR})
endfunction()

# The plug-in: loaded by name from its own directory, never linked against,
# so without a link name. In the build tree it finds the communicator beside
# itself, for the tests that load it into a bare process; the installed copy
# loses that RUNPATH (see above), by a rule of ours rather than CMake's
# rewriting, for the reason given at lcd_install_rpath.
function(lcd_install_plugin target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN" BUILD_WITH_INSTALL_RPATH ON)
  get_target_property(name ${target} OUTPUT_NAME)
  get_target_property(soversion ${target} SOVERSION)
  set(file ${CMAKE_SHARED_LIBRARY_PREFIX}${name}${CMAKE_SHARED_LIBRARY_SUFFIX}.${soversion})
  set_property(GLOBAL PROPERTY LCD_PLUGIN_FILE_NAME ${file})
  install(TARGETS ${target}
    LIBRARY DESTINATION ${LCD_PLUGIN_DIR} COMPONENT runtime NAMELINK_SKIP)
  if(IS_ABSOLUTE "${LCD_PLUGIN_DIR}")
    set(installed "${LCD_PLUGIN_DIR}/${file}")
  else()
    set(installed "\${CMAKE_INSTALL_PREFIX}/${LCD_PLUGIN_DIR}/${file}")
  endif()
  install(CODE "file(RPATH_REMOVE FILE \"\$ENV{DESTDIR}${installed}\")" COMPONENT runtime)
endfunction()

# lcd_install_tools(<target>...): the programs of the tools package, each
# with its manual page and completion, which name the others. A tool whose
# part is switched off (the simulator) is left out with a word.
function(lcd_install_tools)
  set(tools "")
  foreach(target IN LISTS ARGN)
    if(TARGET ${target})
      list(APPEND tools ${target})
    else()
      message(STATUS "not installed: ${target} (not built)")
    endif()
  endforeach()
  foreach(target IN LISTS tools)
    lcd_install_rpath(${target} ${CMAKE_INSTALL_BINDIR})
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
    set(others ${tools})
    list(REMOVE_ITEM others ${target})
    lcd_tool_docs(${target} SEE_ALSO ${others})
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
    PATH_VARS LCD_PLUGIN_DIR)
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
  # pkg-config --variable=plugindir layerimagequality
  if(IS_ABSOLUTE "${LCD_PLUGIN_DIR}")
    set(LCD_PC_PLUGINDIR ${LCD_PLUGIN_DIR})
  else()
    set(LCD_PC_PLUGINDIR "\${prefix}/${LCD_PLUGIN_DIR}")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/layerimagequality.pc.in
    ${dir}/layerimagequality.pc @ONLY)
  install(FILES ${dir}/layerimagequality.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
    COMPONENT development)
endfunction()
