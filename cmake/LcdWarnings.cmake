# lcd_warnings(<target>): the project's warning set, errors when LCD_WERROR.
function(lcd_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(LCD_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
