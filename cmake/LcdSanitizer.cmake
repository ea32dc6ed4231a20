# LCD_SANITIZER: the sanitizer a whole build runs under (the asan and tsan
# presets set it): "address" (AddressSanitizer with UndefinedBehaviorSanitizer),
# "thread" (ThreadSanitizer) or empty. Every object of the build, the tests'
# and the plug-in's alike, must be built the same way, so this one setting
# applies to the whole tree rather than target by target.
set(LCD_SANITIZER "" CACHE STRING "sanitizer of the whole build: address, thread or empty")
set_property(CACHE LCD_SANITIZER PROPERTY STRINGS "" address thread)

if(LCD_SANITIZER STREQUAL "address")
  set(lcd_sanitize -fsanitize=address,undefined -fno-sanitize-recover=all)
elseif(LCD_SANITIZER STREQUAL "thread")
  set(lcd_sanitize -fsanitize=thread)
elseif(NOT LCD_SANITIZER STREQUAL "")
  message(FATAL_ERROR "LCD_SANITIZER is \"${LCD_SANITIZER}\": address, thread or empty")
endif()
if(lcd_sanitize)
  add_compile_options(${lcd_sanitize} -fno-omit-frame-pointer)
  add_link_options(${lcd_sanitize})
endif()
