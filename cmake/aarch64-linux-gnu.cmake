# Cross build for the device: 64-bit ARM Linux with Debian's aarch64 cross
# compiler, against Debian's arm64 packages installed through multiarch
# (headers in /usr/include, libraries and CMake configs in
# /usr/lib/aarch64-linux-gnu). Test programs run under qemu-aarch64.
#
#   cmake --preset aarch64        (or -DCMAKE_TOOLCHAIN_FILE=<this file>)

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(LCD_CROSS_TRIPLE aarch64-linux-gnu)

set(CMAKE_C_COMPILER ${LCD_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${LCD_CROSS_TRIPLE}-g++)

# The multiarch subdirectory: find_library and find_package look in
# <prefix>/lib/aarch64-linux-gnu, never in the host's x86_64 one.
set(CMAKE_LIBRARY_ARCHITECTURE ${LCD_CROSS_TRIPLE})

# The cross compiler's own runtime (/usr/aarch64-linux-gnu) and the multiarch
# packages under /usr share one root: the host's / with the arm64 subdirectory.
set(CMAKE_FIND_ROOT_PATH /usr/${LCD_CROSS_TRIPLE} /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Belt and braces: the host's libraries and package configs must never be
# picked up, even through a hint or a pkg-config file that names them.
set(CMAKE_IGNORE_PATH
  /usr/lib/x86_64-linux-gnu
  /usr/lib/x86_64-linux-gnu/cmake
  /lib/x86_64-linux-gnu)

# pkg-config (FindCURL, FindPkgConfig) reads only the arm64 .pc files.
set(ENV{PKG_CONFIG_LIBDIR}
  "/usr/lib/${LCD_CROSS_TRIPLE}/pkgconfig:/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# ctest and gtest_discover_tests run the ARM programs through user-mode
# emulation; -L points the emulator at the arm64 dynamic loader and C library.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64;-L;/usr/${LCD_CROSS_TRIPLE})
