# lcd_harden(<target>): what a shipped binary on the device carries: stack
# protector, fortified libc calls where the optimiser allows them, full RELRO
# and a non-executable stack.
function(lcd_harden target)
  target_compile_options(${target} PRIVATE -fstack-protector-strong
    $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2>)
  target_link_options(${target} PRIVATE -Wl,-z,relro,-z,now -Wl,-z,noexecstack)
endfunction()
