# lcd_add_program(<name> <sources>... LIBS <libs>... [HOST]): one of the
# project's programs, with warnings, hardening and --version's text (the one
# version of the project, as LCD_VERSION). HOST: it loads the plug-in and
# starts the simulator from the build tree, so both are built with it.
function(lcd_add_program name)
  cmake_parse_arguments(P "HOST" "" "LIBS" ${ARGN})
  add_executable(${name} ${P_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${P_LIBS})
  target_compile_definitions(${name} PRIVATE LCD_VERSION="${PROJECT_VERSION}")
  lcd_warnings(${name})
  lcd_harden(${name})
  if(P_HOST)
    add_dependencies(${name} layerimagequalitymodel)
    if(TARGET lcd-device-sim)
      add_dependencies(${name} lcd-device-sim)
    endif()
  endif()
endfunction()
