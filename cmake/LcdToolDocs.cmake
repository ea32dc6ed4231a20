# The tools' manual pages and bash completion, made at build time by
# packaging/help-docs from what each built program says to --help (and each
# of its commands to theirs), so that they follow the options by themselves.
# A cross build runs the programs through CMAKE_CROSSCOMPILING_EMULATOR.
#
#   lcd_tool_docs(<target> [SEE_ALSO <program>...])
#
# installs <build>/docs/man1/<program>.1.gz into man1/ and the completion
# <build>/docs/completions/<program> into bash-completion/completions/, both
# in the tools component.

include(LcdRelease)
find_program(LCD_GZIP gzip REQUIRED)

function(lcd_tool_docs target)
  cmake_parse_arguments(D "" "" "SEE_ALSO" ${ARGN})
  if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    message(STATUS "no manual page or completion for ${target}: "
                   "cross-built without CMAKE_CROSSCOMPILING_EMULATOR to run it")
    return()
  endif()
  set(script ${PROJECT_SOURCE_DIR}/packaging/help-docs)
  set(dir ${PROJECT_BINARY_DIR}/docs)
  set(page ${dir}/man1/${target}.1)
  set(completion ${dir}/completions/${target})
  set(run ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}>)
  # The defaults the help names are the build tree's; the page gives the
  # installed ones, and no path of the build tree may be left in it.
  get_property(plugin GLOBAL PROPERTY LCD_PLUGIN_FILE_NAME)
  set(bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  set(paths
    --replace ${bin}/${LCD_BUILD_PLUGINDIR_FROM_BINDIR}/${plugin} ${LCD_PLUGIN_FULL_DIR}/${plugin}
    --replace ${bin}/ ${CMAKE_INSTALL_FULL_BINDIR}/
    --forbid ${PROJECT_BINARY_DIR})
  add_custom_command(OUTPUT ${page}.gz ${completion}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}/man1 ${dir}/completions
    COMMAND ${script} ${target} ${PROJECT_VERSION} ${LCD_RELEASE_DAY}
            --man ${page} --completion ${completion} --see-also "${D_SEE_ALSO}" ${paths}
            -- ${run}
    COMMAND ${LCD_GZIP} -9nf ${page}
    DEPENDS ${target} ${script}
    COMMENT "Manual page and bash completion of ${target} from its --help"
    VERBATIM)
  add_custom_target(${target}_docs ALL DEPENDS ${page}.gz ${completion})
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tools)
  install(FILES ${completion} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions
    COMPONENT tools)
endfunction()
